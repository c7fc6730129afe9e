// Sound cards and PCM endpoints from /proc/asound texts.
#include "linux/collect/audio.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace nadrel {
namespace {

TEST(ParseSoundCards, NumberedLinesOnceEach) {
    EXPECT_EQ(
        parse_sound_cards(" 0 [PCH            ]: HDA-Intel - HDA Intel PCH\n"
                          "                      HDA Intel PCH at 0x6004238000 irq 197\n"
                          " 1 [NVidia         ]: HDA-Intel - HDA NVidia(R)\n"
                          "                      HDA NVidia at 0x85080000 irq 17\n"
                          " 2 [Dup            ]: HDA-Intel - HDA Intel PCH\n"
                          " 3 [Empty          ]: X -   \n"
                          " 4 [NoDash         ]: USB-Audio\n"
                          "x5 [Bad            ]: USB-Audio - Not a card\n"
                          "10 [Device         ]: USB-Audio - USB Audio - Rear - Panel\n"
                          "--- no soundcards ---\n"),
        (std::vector<std::string>{"HDA Intel PCH", "HDA NVidia", "USB Audio - Rear - Panel"}));
    EXPECT_TRUE(parse_sound_cards("").empty());
}

TEST(ParseAudioDevices, DirectionsAndSkips) {
    EXPECT_EQ(
        parse_audio_devices("00-00: ALC897 Analog : ALC897 Analog : playback 1 : capture 1\n"
                            "00-01: ALC897 Digital : ALC897 Digital : playback 1\n"
                            "00-03: HDMI 0 : HDMI 0 : playback 1\n"
                            "01-03: HDMI 0 : HDMI 0 : playback 1\n"
                            "00-02: ALC897 Alt Analog : ALC897 Alt Analog : capture 1\n"
                            "00-04:  : empty id : playback 1\n"
                            "::::\n"
                            "04-00: (c) : only a mark : playback 1\n"
                            "lonely\n"
                            "02-00: USB Audio(TM) : USB Audio\n"
                            "03-00: Mic : Mic : capture 2 : capturex : playbackish\n"),
        (std::vector<std::string>{"ALC897 Analog (playback, capture)", "ALC897 Digital (playback)",
                                  "HDMI 0 (playback)", "ALC897 Alt Analog (capture)", "USB Audio",
                                  "Mic (capture, capture, playback)"}));
}

TEST(CollectAudio, ReadsProcAsound) {
    test::TempDir dir;
    EXPECT_TRUE(collect_sound_cards(SysRoot(dir.path())).empty());
    EXPECT_TRUE(collect_audio_devices(SysRoot(dir.path())).empty());
    dir.write("proc/asound/cards", " 0 [PCH            ]: HDA-Intel - HDA Intel PCH\n");
    dir.write("proc/asound/pcm", "00-00: ALC897 Analog : ALC897 Analog : playback 1\n");
    EXPECT_EQ(collect_sound_cards(SysRoot(dir.path())), std::vector<std::string>{"HDA Intel PCH"});
    EXPECT_EQ(collect_audio_devices(SysRoot(dir.path())),
              std::vector<std::string>{"ALC897 Analog (playback)"});
}

}  // namespace
}  // namespace nadrel
