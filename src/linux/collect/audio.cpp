// Sound cards from /proc/asound/cards and PCM endpoints from /proc/asound/pcm.
#include "linux/collect/audio.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>

#include "core/text/fields.h"
#include "core/text/names.h"
#include "core/text/unicode.h"

namespace nadrel {

namespace {

// The kernel registers at most 256 sound cards (SNDRV_CARDS), each with at most 32 PCM
// devices of its own; a longer list is made up, and is cut there.
constexpr std::size_t max_sound_cards = 256;
constexpr std::size_t max_audio_devices = 256 * 32;

// Keeps the first of equal entries, in order, up to a limit; the set makes a list of many
// thousand lines linear rather than quadratic.
class UniqueList {
public:
    explicit UniqueList(std::size_t limit) : limit_(limit) {}
    // False once the list is full.
    bool add(std::string item) {
        if (seen_.insert(item).second)
            items_.push_back(std::move(item));
        return items_.size() < limit_;
    }
    std::vector<std::string> take() { return std::move(items_); }

private:
    std::size_t limit_;
    std::unordered_set<std::string> seen_;
    std::vector<std::string> items_;
};

std::string_view first_word(std::string_view line) {
    line = trim_start(line);
    std::size_t end = 0;
    while (end < line.size() && line[end] != ' ' && line[end] != '\t')
        ++end;
    return line.substr(0, end);
}

}  // namespace

std::vector<std::string> parse_sound_cards(std::string_view text) {
    UniqueList cards(max_sound_cards);
    for_each_line(text, [&cards](std::string_view line) {
        // " 0 [PCH            ]: HDA-Intel - HDA Intel PCH"; the card's second line is indented
        // text without a number.
        if (!is_numbered_name(first_word(line), ""))
            return false;
        const std::size_t dash = line.find(" - ");
        if (dash == std::string_view::npos)
            return false;
        std::string name = clean_name(trim(line.substr(dash + 3)));
        return !name.empty() && !cards.add(std::move(name));
    });
    return cards.take();
}

std::vector<std::string> parse_audio_devices(std::string_view text) {
    UniqueList devices(max_audio_devices);
    for_each_line(text, [&devices](std::string_view line) {
        // "00-00: ALC897 Analog : ALC897 Analog : playback 1 : capture 1"
        const auto pieces = split_on(line, ':');
        if (pieces.size() < 2 || trim(pieces[1]).empty())
            return false;
        std::vector<std::string> directions;
        for (std::size_t i = 2; i < pieces.size(); ++i) {
            const std::string_view piece = trim(pieces[i]);
            if (starts_with(piece, "playback"))
                directions.emplace_back("playback");
            if (starts_with(piece, "capture"))
                directions.emplace_back("capture");
        }
        std::string entry = clean_name(trim(pieces[1]));
        if (entry.empty())  // a name that was only a mark such as "(c)"
            return false;
        if (!directions.empty()) {
            entry += " (";
            for (std::size_t i = 0; i < directions.size(); ++i) {
                if (i != 0)
                    entry += ", ";
                entry += directions[i];
            }
            entry += ")";
        }
        return !devices.add(std::move(entry));
    });
    return devices.take();
}

std::vector<std::string> collect_sound_cards(const SysRoot& root) {
    const auto text = read_text(root, "/proc/asound/cards", list_limit);
    return text ? parse_sound_cards(*text) : std::vector<std::string>();
}

std::vector<std::string> collect_audio_devices(const SysRoot& root) {
    const auto text = read_text(root, "/proc/asound/pcm", list_limit);
    return text ? parse_audio_devices(*text) : std::vector<std::string>();
}

}  // namespace nadrel
