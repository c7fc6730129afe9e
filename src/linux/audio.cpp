// Sound cards from /proc/asound/cards and PCM endpoints from /proc/asound/pcm.
#include <algorithm>
#include <string_view>

#include "core/names.h"
#include "core/text_fields.h"
#include "core/unicode.h"
#include "linux/audio.h"

namespace nadrel {

namespace {


void add_unique(std::vector<std::string>& list, std::string item) {
    if (std::find(list.begin(), list.end(), item) == list.end())
        list.push_back(std::move(item));
}

bool all_digits(std::string_view s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string_view first_word(std::string_view line) {
    line = trim_start(line);
    std::size_t end = 0;
    while (end < line.size() && line[end] != ' ' && line[end] != '\t')
        ++end;
    return line.substr(0, end);
}

}  // namespace

std::vector<std::string> parse_sound_cards(std::string_view text) {
    std::vector<std::string> cards;
    for (const auto line : split_on(text, '\n')) {
        // " 0 [PCH            ]: HDA-Intel - HDA Intel PCH"; the card's second line is indented
        // text without a number.
        if (!all_digits(first_word(line)))
            continue;
        const std::size_t dash = line.find(" - ");
        if (dash == std::string_view::npos)
            continue;
        std::string name = clean_name(trim(line.substr(dash + 3)));
        if (!name.empty())
            add_unique(cards, std::move(name));
    }
    return cards;
}

std::vector<std::string> parse_audio_devices(std::string_view text) {
    std::vector<std::string> devices;
    for (const auto line : split_on(text, '\n')) {
        // "00-00: ALC897 Analog : ALC897 Analog : playback 1 : capture 1"
        const auto pieces = split_on(line, ':');
        if (pieces.size() < 2 || trim(pieces[1]).empty())
            continue;
        std::vector<std::string> directions;
        for (std::size_t i = 2; i < pieces.size(); ++i) {
            const std::string_view piece = trim(pieces[i]);
            if (starts_with(piece, "playback"))
                directions.emplace_back("playback");
            if (starts_with(piece, "capture"))
                directions.emplace_back("capture");
        }
        std::string entry = clean_name(trim(pieces[1]));
        if (!directions.empty()) {
            entry += " (";
            for (std::size_t i = 0; i < directions.size(); ++i) {
                if (i != 0)
                    entry += ", ";
                entry += directions[i];
            }
            entry += ")";
        }
        add_unique(devices, std::move(entry));
    }
    return devices;
}

std::vector<std::string> collect_sound_cards(const SysRoot& root) {
    const auto text = read_text(root, "/proc/asound/cards");
    return text ? parse_sound_cards(*text) : std::vector<std::string>();
}

std::vector<std::string> collect_audio_devices(const SysRoot& root) {
    const auto text = read_text(root, "/proc/asound/pcm");
    return text ? parse_audio_devices(*text) : std::vector<std::string>();
}

}  // namespace nadrel
