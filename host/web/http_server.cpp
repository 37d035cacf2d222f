#include "http_server.h"

#include <httplib.h>

#include <cstring>
#include <stdexcept>

#include "assets.h"

namespace gaugehost::web {

using nlohmann::json;

namespace {

const char* content_type(const std::string& path)
{
    auto ends = [&](const char* s) {
        size_t n = std::strlen(s);
        return path.size() >= n && path.compare(path.size() - n, n, s) == 0;
    };
    if (ends(".html")) return "text/html; charset=utf-8";
    if (ends(".js")) return "text/javascript; charset=utf-8";
    if (ends(".css")) return "text/css; charset=utf-8";
    if (ends(".svg")) return "image/svg+xml";
    return "application/octet-stream";
}

void reply(httplib::Response& res, const json& body, int status = 200)
{
    res.status = status;
    res.set_header("Cache-Control", "no-store");
    res.set_content(body.dump(), "application/json");
}

void error(httplib::Response& res, int status, const std::string& message)
{
    reply(res, {{"error", message}}, status);
}

double query_number(const httplib::Request& req, const char* name)
{
    if (!req.has_param(name)) throw std::invalid_argument(std::string("missing ") + name);
    std::string v = req.get_param_value(name);
    size_t used = 0;
    double d = 0;
    try {
        d = std::stod(v, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != v.size() || !std::isfinite(d)) throw std::invalid_argument(std::string("bad ") + name);
    return d;
}

// Runs a handler; bad requests get 400 with the reason, failures 500.
template <typename F>
void guarded(httplib::Response& res, F&& f)
{
    try {
        f();
    } catch (const json::exception& e) {
        error(res, 400, std::string("bad JSON: ") + e.what());
    } catch (const std::invalid_argument& e) {
        error(res, 400, e.what());
    } catch (const std::exception& e) {
        error(res, 500, e.what());
    }
}

}  // namespace

struct HttpServer::Impl {
    PanelLoop* loop;
    httplib::Server server;
};

HttpServer::HttpServer(PanelLoop& loop) : impl_(std::make_unique<Impl>())
{
    impl_->loop = &loop;
    httplib::Server& s = impl_->server;
    PanelLoop* l = &loop;
    // Each open frame stream and each kept-alive connection holds a thread.
    s.new_task_queue = [] { return new httplib::ThreadPool(32); };

    for (size_t i = 0; i < kAssetCount; ++i) {
        const Asset& a = kAssets[i];
        auto handler = [a](const httplib::Request&, httplib::Response& res) {
            res.set_header("Cache-Control", "no-store");
            res.set_content(reinterpret_cast<const char*>(a.data), a.size, content_type(a.path));
        };
        s.Get(a.path, handler);
        if (std::strcmp(a.path, "/index.html") == 0) s.Get("/", handler);
    }

    s.Get("/api/layout", [l](const httplib::Request&, httplib::Response& res) {
        guarded(res, [&] { reply(res, l->layout()); });
    });
    s.Get("/api/state", [l](const httplib::Request&, httplib::Response& res) {
        guarded(res, [&] { reply(res, l->state()); });
    });
    s.Get("/api/areas", [l](const httplib::Request&, httplib::Response& res) {
        guarded(res, [&] { reply(res, l->areas()); });
    });
    s.Get("/api/hover", [l](const httplib::Request& req, httplib::Response& res) {
        guarded(res, [&] { reply(res, l->hover(query_number(req, "x"), query_number(req, "y"))); });
    });
    s.Post("/api/command", [l](const httplib::Request& req, httplib::Response& res) {
        guarded(res, [&] { reply(res, l->command(json::parse(req.body))); });
    });
    s.Post("/api/mouse", [l](const httplib::Request& req, httplib::Response& res) {
        guarded(res, [&] {
            json m = json::parse(req.body);
            std::string action = m.at("action").get<std::string>();
            if (action != "down" && action != "move" && action != "up")
                throw std::invalid_argument("mouse action is down, move or up");
            double x = m.at("x").get<double>(), y = m.at("y").get<double>();
            if (!std::isfinite(x) || !std::isfinite(y)) throw std::invalid_argument("bad position");
            l->mouse(action, x, y, m.value("id", uint64_t(0)), m.value("client", std::string()));
            res.status = 204;
        });
    });

    // The frame stream: a key frame first, then every frame as it comes;
    // a client that falls too far behind gets a key frame again.
    s.Get("/api/frames", [l](const httplib::Request&, httplib::Response& res) {
        res.set_header("Cache-Control", "no-store");
        auto seq = std::make_shared<uint64_t>(0);
        auto started = std::make_shared<bool>(false);
        res.set_chunked_content_provider("text/event-stream", [l, seq, started](size_t, httplib::DataSink& sink) {
            auto send = [&](const std::string& data) {
                std::string event = "data: " + data + "\n\n";
                return sink.write(event.data(), event.size());
            };
            try {
                if (l->stopping()) return false;
                if (!*started) {
                    *started = true;
                    return send(l->key_frame(*seq));
                }
                std::vector<std::string> frames;
                if (!l->frames_after(*seq, frames, 1000)) return send(l->key_frame(*seq));
                if (frames.empty()) {
                    static const char keepalive[] = ": still here\n\n";
                    return sink.write(keepalive, sizeof keepalive - 1);
                }
                for (const std::string& f : frames)
                    if (!send(f)) return false;
                return true;
            } catch (const std::exception&) {
                return false;
            }
        });
    });
}

HttpServer::~HttpServer() = default;

int HttpServer::bind(int port)
{
    httplib::Server& s = impl_->server;
    int bound = port == 0 ? s.bind_to_any_port("127.0.0.1") : (s.bind_to_port("127.0.0.1", port) ? port : -1);
    if (bound <= 0) throw std::runtime_error("cannot listen on 127.0.0.1:" + std::to_string(port));
    return bound;
}

void HttpServer::listen()
{
    impl_->server.listen_after_bind();
}

void HttpServer::stop()
{
    impl_->server.stop();
}

}  // namespace gaugehost::web
