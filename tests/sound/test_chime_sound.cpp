// The chime's choice of file.
#include <fstream>

#include <gtest/gtest.h>

#include "sound/chime_sound.h"
#include "store/settings.h"
#include "tests/sound/sound_fixture.h"

namespace {

class ChimeSoundTest : public SoundTest {
protected:
    void SetUp() override {
        SoundTest::SetUp();
        plat::copy_wide(Folders.InstallFolder, MAX_PATH, L"\\IPSM\\Program Files\\Velmora");
    }
    void touch(const wchar_t *path) { std::ofstream(host_of(path)) << "x"; }
    std::wstring chosen(const wchar_t *setting) {
        plat::copy_wide(Settings.ChimeSound, MAX_PATH, setting);
        WCHAR path[MAX_PATH] = L"";
        return choose_chime_sound(nullptr, path) ? path : L"(none)";
    }
    const wchar_t *fallback = L"\\IPSM\\Program Files\\Velmora\\sounds\\CBell.wav";
};

TEST_F(ChimeSoundTest, OwnSoundDefaultNamesAndMissingFiles) {
    touch(L"\\IPSM\\Program Files\\Velmora\\sounds\\CBell.wav");
    touch(L"\\My Documents\\ding.mp3");
    EXPECT_EQ(chosen(L"\\My Documents\\ding.mp3"), L"\\My Documents\\ding.mp3");
    EXPECT_EQ(chosen(L""), fallback);
    EXPECT_EQ(chosen(L"CBell.wav"), fallback);
    EXPECT_EQ(chosen(L"\\My Documents\\gone.mp3"), fallback);
    EXPECT_TRUE(boxes().empty());
}

TEST_F(ChimeSoundTest, NoDefaultEitherSaysSo) {
    EXPECT_EQ(chosen(L"\\My Documents\\gone.mp3"), L"(none)");
    EXPECT_EQ(boxes(), std::vector<std::string>{"[Error] Can't find the chime sound file "
                                                "\\IPSM\\Program Files\\Velmora\\sounds\\CBell.wav.  Please select a "
                                                "valid sound file."});
}

}  // namespace
