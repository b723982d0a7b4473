// A run of the rotation without repeats over 60 folders of 1000 pictures (60,000) against
// listing those folders alone, both under the same system (Wine in the project's runs),
// alternated in one run. The rotation's run is the real sequence (rotate_wallpaper) with
// the remembered round read, brought up to date, advanced and written back whole, and
// the chosen picture's folder listed again as the file list would; only the windows are
// left out. Target: at most 1.3 times the listing; and a remembered round of 100,000
// pictures under 2 MB.
//   shuffle_round_bench.exe [folders] [pictures per folder]   (default: 60, 1000)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/path.h"
#include "gui/file_list_win.h"
#include "wallpaper/rotation_sequence.h"
#include "wallpaper/shuffle_round_win.h"

namespace {

using namespace velmaro;

const std::vector<std::string> kPatterns{"*.jpg", "*.jpeg", "*.bmp"};

double now_ms() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

void make_folder(const std::string& dir, int files) {
    CreateDirectoryA(dir.c_str(), nullptr);
    for (int i = 0; i < files; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "IMG_%05d.jpg", i);
        HANDLE h = CreateFileA(join_path(dir, name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
    }
}

// The rotation's steps without the main window: folders listed as the file list lists.
struct BenchHost : wallpaper::RotationHost {
    std::vector<std::string> folders;
    std::string round_path;
    int listed = -1;
    std::vector<std::string> names;
    int chosen = -1;

    wallpaper::StoredRotation read_stored() override { return {0, 0, true, false, true}; }
    std::string stored_date() override { return {}; }
    void store_date(const std::string&) override {}
    std::optional<std::string> today() override { return std::nullopt; }
    void reload_folder_list() override {}
    int folder_count() override { return static_cast<int>(folders.size()); }
    void select_folder(int index) override {
        listed = index;
        names = gui::list_picture_files(folders.at(static_cast<std::size_t>(index)), kPatterns);
    }
    int file_count() override { return static_cast<int>(names.size()); }
    void select_file(int index) override { chosen = index; }
    void store_position(const wallpaper::RotationPosition&) override {}
    void request_wallpaper() override {}
    wallpaper::RandomGenerator random_generator() override { return wallpaper::RandomGenerator(0); }
    wallpaper::PictureFolder list_folder(int index) override {
        const std::string& path = folders.at(static_cast<std::size_t>(index));
        return {path, gui::list_picture_files(path, kPatterns)};
    }
    std::string file_name(int index) override { return names.at(static_cast<std::size_t>(index)); }
    std::vector<std::uint8_t> load_round() override { return wallpaper::load_round_file(round_path); }
    void save_round(const std::vector<std::uint8_t>& bytes) override {
        wallpaper::save_round_file(round_path, bytes);
    }
    wallpaper::RoundRandom round_random() override { return wallpaper::system_round_random(); }
};

// The remembered round's size for 100,000 pictures with long names, in 100 folders.
std::size_t round_size_for_100000() {
    std::vector<wallpaper::PictureFolder> listing;
    for (int f = 0; f < 100; ++f) {
        listing.push_back({"D:\\Photos\\Holidays and family\\" + std::to_string(2000 + f), {}});
        for (int i = 0; i < 1000; ++i)
            listing.back().names.push_back("A long name of a picture from the camera " + std::to_string(i) +
                                           ".jpg");
    }
    wallpaper::RoundRandom random = wallpaper::system_round_random();
    wallpaper::ShuffleRound round;
    round.update(listing, random);
    round.take(1, random);
    return round.serialize().size();
}

} // namespace

int main(int argc, char** argv) {
    const int folder_count = argc > 1 ? std::atoi(argv[1]) : 60;
    const int per_folder = argc > 2 ? std::atoi(argv[2]) : 1000;
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    const std::string root = join_path(tmp, "velmaro-bench-shuffle");
    CreateDirectoryA(root.c_str(), nullptr);
    BenchHost host;
    host.round_path = join_path(root, "Round.dat");
    for (int f = 0; f < folder_count; ++f) {
        host.folders.push_back(join_path(root, "Folder " + std::to_string(f)));
        if (gui::list_picture_files(host.folders.back(), kPatterns).size() <
            static_cast<std::size_t>(per_folder))
            make_folder(host.folders.back(), per_folder);
    }
    DeleteFileA(host.round_path.c_str());
    wallpaper::rotate_wallpaper(host); // the first run shuffles them all

    const int rounds = 11;
    std::vector<double> listing, run;
    std::size_t pictures = 0;
    auto list_all = [&] {
        const double t0 = now_ms();
        pictures = 0;
        for (const std::string& folder : host.folders)
            pictures += gui::list_picture_files(folder, kPatterns).size();
        listing.push_back(now_ms() - t0);
    };
    auto rotate = [&] {
        const double t0 = now_ms();
        wallpaper::rotate_wallpaper(host);
        run.push_back(now_ms() - t0);
    };
    // Each goes first in every other round, so that neither gains from coming second.
    for (int r = 0; r < rounds; ++r) {
        if (r % 2) {
            rotate();
            list_all();
        } else {
            list_all();
            rotate();
        }
    }
    // The round's own part of a run, on a listing made beforehand: steadier on a busy
    // machine than the difference of the two above.
    std::vector<wallpaper::PictureFolder> listed;
    for (int f = 0; f < folder_count; ++f)
        listed.push_back(host.list_folder(f));
    std::vector<double> round_only;
    for (int r = 0; r < rounds; ++r) {
        const double t0 = now_ms();
        wallpaper::RoundRandom random = wallpaper::system_round_random();
        wallpaper::ShuffleRound round =
            wallpaper::ShuffleRound::parse(wallpaper::load_round_file(host.round_path))
                .value_or(wallpaper::ShuffleRound{});
        round.update(listed, random);
        round.take(1, random);
        wallpaper::save_round_file(host.round_path, round.serialize());
        round_only.push_back(now_ms() - t0);
    }
    std::sort(round_only.begin(), round_only.end());
    std::sort(listing.begin(), listing.end());
    std::sort(run.begin(), run.end());
    WIN32_FILE_ATTRIBUTE_DATA round_file{};
    GetFileAttributesExA(host.round_path.c_str(), GetFileExInfoStandard, &round_file);
    std::printf("%d folders, %zu pictures; remembered round %lu bytes\n", folder_count, pictures,
                round_file.nFileSizeLow);
    std::printf("listing the folders:      best %.1f ms, median %.1f ms\n", listing[0], listing[rounds / 2]);
    std::printf("run without repeats:      best %.1f ms, median %.1f ms\n", run[0], run[rounds / 2]);
    std::printf("  of which the round (read, update, write): best %.1f ms, median %.1f ms\n", round_only[0],
                round_only[rounds / 2]);
    const std::size_t big = round_size_for_100000();
    std::printf("remembered round of 100,000 pictures: %zu bytes (target: under 2 MB)\n", big);
    std::printf("ratio (best): %.2f, (median): %.2f (target: at most 1.3)\n", run[0] / listing[0],
                run[rounds / 2] / listing[rounds / 2]);
    return run[0] <= 1.3 * listing[0] && big < 2'000'000 ? 0 : 1;
}
