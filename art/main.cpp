// orvane_art: draws every bitmap of the three gauge modules from the
// modules' own records and writes them beside the native modules, with the
// resource script that the Windows build includes.
//
//   orvane_art --gauges DIR [--contact-sheet FILE.png]
//
// DIR holds the native modules (Orvane.so, ...); the bitmaps of each module
// go to DIR/<Module>/<number>.bmp and DIR/<Module>/bitmaps.rc.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <stdexcept>
#include <string>

#include "artwork.h"
#include "bmp_writer.h"
#include "contact_sheet.h"

namespace fs = std::filesystem;

namespace {

const char* const kModules[] = {"Orvane", "Orvane_engine", "Orvane_electric"};

const char* const kUsage =
    "usage: orvane_art --gauges DIR [--contact-sheet FILE.png]\n"
    "  Draws every bitmap of the gauge modules in DIR from their records and\n"
    "  writes DIR/<Module>/<number>.bmp and DIR/<Module>/bitmaps.rc.\n"
    "  --contact-sheet FILE.png  also writes a sheet of the gauges at a sample\n"
    "                            state and of every bitmap, labelled\n";

struct Options {
    std::string gauges;
    std::string contact_sheet;
};

Options parse(int argc, char** argv)
{
    Options o;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) throw std::invalid_argument(a + " needs a value");
            return argv[++i];
        };
        if (a == "--help" || a == "-h") {
            std::cout << kUsage;
            std::exit(0);
        } else if (a == "--gauges") {
            o.gauges = value();
        } else if (a == "--contact-sheet") {
            o.contact_sheet = value();
        } else {
            throw std::invalid_argument("unknown argument " + a);
        }
    }
    if (o.gauges.empty()) throw std::invalid_argument("--gauges DIR is required");
    return o;
}

// Writes the module's bitmaps and resource script; removes bitmaps of
// earlier runs that are no longer drawn.
void write_module(const fs::path& folder, const art::ModuleArt& art)
{
    fs::create_directories(folder);
    std::set<std::string> written;
    std::string rc = "// Bitmaps of this module, drawn by orvane_art. Generated: do not edit.\n";
    for (const auto& [number, bitmap] : art.bitmaps()) {
        fs::path file = folder / (std::to_string(number) + ".bmp");
        art::write_file_if_changed(file.string(), art::encode_bmp(art::quantise(bitmap.image, bitmap.bits)));
        written.insert(file.filename().string());
        rc += std::to_string(number) + " BITMAP \"" + fs::absolute(file).string() + "\"\n";
    }
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() == ".bmp" && !written.count(entry.path().filename().string()))
            fs::remove(entry.path());
    }
    std::vector<uint8_t> rc_bytes(rc.begin(), rc.end());
    art::write_file_if_changed((folder / "bitmaps.rc").string(), rc_bytes);
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    try {
        options = parse(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << "orvane_art: " << e.what() << "\n" << kUsage;
        return 2;
    }
    try {
        std::vector<art::GaugeArt> all = art::all_gauge_art();
        std::vector<art::SheetEntry> sheet;
        std::vector<art::SamplePicture> samples;
        for (const char* module_name : kModules) {
            art::ModuleRecords records(options.gauges, module_name);
            art::ModuleArt module_art;
            int drawn = 0;
            std::vector<std::string> drawn_names;
            for (const art::GaugeArt& g : all) {
                if (std::string(g.module) != module_name) continue;
                GaugeHeader* header = records.find(g.gauge);
                if (!header) {
                    std::cout << "note: " << module_name << " has no gauge \"" << g.gauge
                              << "\" yet; its artwork is skipped\n";
                    continue;
                }
                art::GaugeRecords gauge(records, header);
                g.draw(gauge, module_art);
                drawn_names.push_back(g.gauge);
                ++drawn;
            }
            fs::path folder = fs::path(options.gauges) / module_name;
            write_module(folder, module_art);
            std::cout << module_name << ": " << drawn << " gauges, " << module_art.bitmaps().size()
                      << " bitmaps in " << folder.string() << "\n";
            for (const auto& [number, bitmap] : module_art.bitmaps())
                sheet.push_back({module_name, number, (folder / (std::to_string(number) + ".bmp")).string()});
            if (!options.contact_sheet.empty()) {
                auto rendered = art::render_samples(options.gauges, module_name, drawn_names);
                samples.insert(samples.end(), rendered.begin(), rendered.end());
            }
        }
        if (!options.contact_sheet.empty()) {
            art::write_contact_sheet(options.contact_sheet, samples, sheet);
            std::cout << "contact sheet: " << options.contact_sheet << "\n";
        }
    } catch (const std::exception& e) {
        std::cerr << "orvane_art: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
