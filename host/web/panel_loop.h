// The panel flying in a server: a session (aircraft, host, panel) run at the
// host's update rate on a thread of its own, every gauge drawn by the gauge
// renderer, and what changed published as frames.
//
// Gauge modules are not thread-safe, so every call into them (updates,
// mouse, tooltips) happens on the loop's thread: the other threads post
// tasks to it and, where they need an answer, wait for it. The loop knows
// nothing of HTTP; its answers are JSON documents.
//
// Frames. A frame lists the parts of the panel that changed since the
// previous frame as opaque PNG patches in panel coordinates (the window's
// background colour under the gauges), the windows that opened or closed,
// new key events and pilot messages, and `acks`, for each page whose mouse
// actions were handled since the previous frame, the id of the latest one
// (the page measures the time from a click to the frame that shows it). A
// key frame holds every open window whole.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

namespace gaugehost::web {

struct LoopOptions {
    std::string panel;       // panel configuration file
    std::string gauges;      // folder of the gauge modules
    std::string scenario;    // scenario file played from the start, or empty
    bool paused = false;     // host time stands still until "play"
    bool demo = false;       // start the demo flight at once
    bool engine_running = false;
};

class PanelLoop {
public:
    // Starts the loop thread and loads the panel on it; throws what loading
    // throws (a bad panel, a missing module, a bad scenario).
    explicit PanelLoop(const LoopOptions& options);
    ~PanelLoop();
    PanelLoop(const PanelLoop&) = delete;
    PanelLoop& operator=(const PanelLoop&) = delete;

    void stop();
    bool stopping() const;

    // The panel's windows, extent and the cursor table: fixed for the run.
    nlohmann::json layout();
    // What is under the panel point: gauge, position in its drawn units,
    // tooltip text, cursor, the click area and tooltip records.
    nlohmann::json hover(double x, double y);
    // Every mouse record of the gauges of the open windows.
    nlohmann::json areas();
    // The aircraft model and the host: time, tokens, failures, events...
    nlohmann::json state();
    // A command of the side panel (see panel_loop.cpp for the list); throws
    // std::invalid_argument for a bad one.
    nlohmann::json command(const nlohmann::json& command);

    // Mouse at a panel point: "down", "move" or "up". Queued, not waited
    // for; frames acknowledge `id` once handled. A page sends its actions
    // without waiting for each answer (a click's press and release must not
    // be a round trip apart: the battery switch repeats after 100 ms held),
    // so they may arrive out of order: the actions of one `client` (a key
    // the page picks) are handled in the order of their ids, counting from
    // 1; one that is missing is given up after kMouseGapSeconds. Without a
    // client key an action is handled as it comes.
    void mouse(const std::string& action, double x, double y, uint64_t id, const std::string& client = {});
    static constexpr double kMouseGapSeconds = 0.25;

    // A key frame (every open window whole) and the sequence number it
    // stands at.
    std::string key_frame(uint64_t& seq);
    // Frames after `seq`, waiting up to `timeout_ms` for one. Returns false
    // when the frames after `seq` are no longer kept (the caller needs a key
    // frame).
    bool frames_after(uint64_t& seq, std::vector<std::string>& out, int timeout_ms);

private:
    struct State;
    nlohmann::json call(std::function<nlohmann::json(State&)> task);
    void post(std::function<void(State&)> task);
    void run(LoopOptions options, std::promise<void> loaded);
    void publish(std::string frame_without_seq, uint64_t& seq_out);

    std::unique_ptr<State> state_;
    std::thread thread_;

    mutable std::mutex mutex_;
    std::condition_variable tasks_cv_;
    std::deque<std::function<void(State&)>> tasks_;
    bool stop_ = false;

    // Published frames, newest last.
    std::condition_variable frames_cv_;
    std::deque<std::pair<uint64_t, std::string>> frames_;
    uint64_t seq_ = 0;
};

}  // namespace gaugehost::web
