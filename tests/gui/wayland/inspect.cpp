// What the compositor tests look at, without a slow interpreter: pixels of PPM screenshots and
// the buffer sizes a client attached, from its WAYLAND_DEBUG=client log.
//   inspect pixel FILE.ppm X Y        -> rrggbb
//   inspect colours FILE.ppm X Y W H  -> number of distinct colours (every other pixel)
//   inspect find FILE.ppm RRGGBB W H  -> "X Y" of the first W-wide run of that colour whose left
//                                        and upper neighbours differ and whose far corner matches
//   inspect hash FILE.ppm X Y W H     -> a checksum of the region's pixels
//   inspect attached LOG              -> WxH of every attached buffer, in order
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

struct Image {
    int width = 0;
    int height = 0;
    std::string pixels;  // RGB bytes

    std::string at(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height)
            return "outside";
        const auto i = static_cast<std::size_t>((y * width + x) * 3);
        char hex[8];
        std::snprintf(hex, sizeof hex, "%02x%02x%02x", static_cast<unsigned char>(pixels[i]),
                      static_cast<unsigned char>(pixels[i + 1]),
                      static_cast<unsigned char>(pixels[i + 2]));
        return hex;
    }
};

// The next header number, skipping "#" comments (ImageMagick writes one).
bool header_number(std::istream& in, int& value) {
    while (in >> std::ws && in.peek() == '#') {
        std::string comment;
        std::getline(in, comment);
    }
    return static_cast<bool>(in >> value);
}

bool read_ppm(const char* path, Image& image) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxval = 0;
    if (!(in >> magic) || magic != "P6" || !header_number(in, image.width) ||
        !header_number(in, image.height) || !header_number(in, maxval) || maxval != 255) {
        return false;
    }
    in.get();
    image.pixels.assign(std::istreambuf_iterator<char>(in), {});
    return image.pixels.size() >= static_cast<std::size_t>(image.width * image.height * 3);
}

int attached(const char* path) {
    std::ifstream in(path);
    const std::regex create(R"(create_buffer\(new id wl_buffer@(\d+), 0, (\d+), (\d+),)");
    const std::regex attach(R"(wl_surface@\d+\.attach\(wl_buffer@(\d+),)");
    std::map<std::string, std::string> sizes;
    std::string line;
    std::smatch m;
    while (std::getline(in, line)) {
        if (std::regex_search(line, m, create)) {
            sizes[m[1]] = std::string(m[2]) + "x" + std::string(m[3]);
        } else if (std::regex_search(line, m, attach)) {
            std::cout << (sizes.count(m[1]) ? sizes[m[1]] : "?") << "\n";
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv, argv + argc);
    if (argc == 3 && args[1] == "attached")
        return attached(argv[2]);
    Image image;
    if (argc < 3 || !read_ppm(argv[2], image)) {
        std::cerr << "inspect: cannot read " << (argc > 2 ? args[2] : "?") << "\n";
        return 2;
    }
    if (argc == 5 && args[1] == "pixel") {
        std::cout << image.at(std::stoi(args[3]), std::stoi(args[4])) << "\n";
        return 0;
    }
    if (argc == 7 && args[1] == "colours") {
        const int x0 = std::stoi(args[3]), y0 = std::stoi(args[4]);
        const int w = std::stoi(args[5]), h = std::stoi(args[6]);
        std::set<std::string> seen;
        for (int y = y0; y < y0 + h; y += 2) {
            for (int x = x0; x < x0 + w; x += 2)
                seen.insert(image.at(x, y));
        }
        std::cout << seen.size() << "\n";
        return 0;
    }
    if (argc == 7 && args[1] == "hash") {
        const int x0 = std::stoi(args[3]), y0 = std::stoi(args[4]);
        const int w = std::stoi(args[5]), h = std::stoi(args[6]);
        std::uint64_t hash = 1469598103934665603u;  // FNV-1a
        for (int y = y0; y < y0 + h; ++y) {
            for (int x = x0; x < x0 + w; ++x) {
                for (const char c : image.at(x, y)) {
                    hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211u;
                }
            }
        }
        std::cout << hash << "\n";
        return 0;
    }
    if (argc == 6 && args[1] == "find") {
        const int w = std::stoi(args[4]), h = std::stoi(args[5]);
        const std::string& c = args[3];
        for (int y = 0; y < image.height; ++y) {
            for (int x = 0; x < image.width; ++x) {
                if (image.at(x, y) == c && image.at(x - 1, y) != c && image.at(x, y - 1) != c &&
                    image.at(x + w - 1, y) == c && image.at(x + w, y) != c &&
                    image.at(x, y + h - 1) == c && image.at(x, y + h) != c) {
                    std::cout << x << " " << y << "\n";
                    return 0;
                }
            }
        }
        return 1;
    }
    std::cerr << "inspect: bad arguments\n";
    return 2;
}
