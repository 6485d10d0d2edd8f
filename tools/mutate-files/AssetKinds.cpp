// Damaged copies of the files that come with the program or are made by its
// parts for one another: each is read by the same call the program makes,
// and what it yields is drawn or used once.
#include <span>

#include "platform/base/WideString.h"
#include "platform/dialog/DialogTemplate.h"
#include "platform/gdi/Gdi.h"
#include "platform/sound/WavClip.h"
#include "plugin/PluginSettings.h"
#include "skin/BitmapFile.h"
#include "skin/IconSet.h"
#include "skin/Skin.h"
#include "skin/SkinImage.h"
#include "skin/smiley/SmileySet.h"
#include "tools/homescreen/Scheme.h"
#include "tools/mutate-files/FileKinds.h"
#include "ui/framework/TemplateWriter.h"

namespace mutate {

namespace {

// A memory context to draw into, made in the process that runs the check.
HDC DrawingContext()
{
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, CreateCompatibleBitmap(dc, 64, 64));
    return dc;
}

Outcome Of(bool loaded) { return loaded ? Outcome::Loaded : Outcome::Refused; }

// Draws the image of every slot of a set once (slots without one are skipped).
template <typename Slot, typename ImageOf>
void DrawEachSlot(std::size_t count, ImageOf imageOf)
{
    HDC dc = DrawingContext();
    for (std::size_t i = 0; i < count; ++i) {
        if (RefPtr<skin::SkinImage> image = imageOf(static_cast<Slot>(i)))
            image->Draw(dc, 0, 0);
    }
}

// A shipped folder copied into the scratch folder; the copy's path.
std::string CopyOf(const std::string& assets, const std::string& from, const std::string& to)
{
    CopyFolder(assets + from, to);
    return to;
}

FileKind SkinKind(const std::string& work, const std::string& assets)
{
    std::string folder = CopyOf(assets, "/Skin/Default", work + "/skin");
    std::string target = folder + "/Default.Skin.xml";
    return {"skin", target, {target}, [folder](const std::string&) {
                RefPtr<skin::Skin> look = MakeRef<skin::Skin>();
                bool loaded = look->Load(platform::Utf8ToWide(folder), u"Default.Skin.xml");
                for (skin::SkinFont* font : {&look->listFont, &look->statusFont, &look->chatFont, &look->userInfoFont})
                    (void)font->Handle();
                DrawEachSlot<skin::ToolbarSlot>(skin::kToolbarSlotCount,
                                                [&](skin::ToolbarSlot slot) { return look->ToolbarImage(slot); });
                return Of(loaded);
            }};
}

FileKind IconKind(const std::string& work, const std::string& assets)
{
    std::string folder = CopyOf(assets, "/Icons/Default", work + "/icons");
    std::string target = folder + "/Default.Icons.xml";
    return {"icon set", target, {target}, [folder](const std::string&) {
                RefPtr<skin::IconSet> icons = MakeRef<skin::IconSet>();
                bool loaded = icons->Load(platform::Utf8ToWide(folder), u"Default.Icons.xml");
                DrawEachSlot<skin::IconSlot>(skin::kIconSlotCount,
                                             [&](skin::IconSlot slot) { return icons->Icon(slot); });
                return Of(loaded);
            }};
}

FileKind SmileyKind(const std::string& work, const std::string& assets)
{
    std::string program = work + "/program";
    CopyOf(assets, "/Smilies/Default", program + "/Smilies/Default");
    std::string target = program + "/Smilies/Default/Default.Smilies.xml";
    return {"smiley set", target, {target}, [program](const std::string&) {
                RefPtr<skin::SmileySet> set = MakeRef<skin::SmileySet>(u"Default.Smilies.xml", platform::Utf8ToWide(program));
                HDC dc = DrawingContext();
                for (std::size_t i = 0; i < set->Count(); ++i) {
                    if (RefPtr<skin::SkinImage> image = set->At(i)->Image())
                        (void)image->Get(dc);
                }
                const WideString text = u"a :-) b ;-) :( :D";
                for (std::size_t i = 0; i <= text.size(); ++i)
                    (void)set->Match(text, i);
                return Of(set->Count() > 0);
            }};
}

FileKind BitmapKind(const std::string& work, const std::string& assets)
{
    std::string folder = CopyOf(assets, "/Icons/Default", work + "/bitmap");
    std::string target = folder + "/online.bmp";
    return {"bitmap", target, {target}, [folder](const std::string& mutant) {
                bool parsed = skin::ParseBitmapFile(std::span<const BYTE>(
                                  reinterpret_cast<const BYTE*>(mutant.data()), mutant.size())).has_value();
                RefPtr<skin::SkinImage> image = MakeRef<skin::SkinImage>(platform::Utf8ToWide(folder), u"online.bmp");
                HDC dc = DrawingContext();
                image->Draw(dc, 3, 3);
                image->Draw(dc, -5, 40);
                return Of(parsed);
            }};
}

FileKind SoundKind(const std::string& work, const std::string& assets)
{
    std::string folder = CopyOf(assets, "/Sounds", work + "/sounds");
    std::string target = folder + "/Message.wav";
    return {"sound", target, {target}, [target](const std::string&) {
                platform::WavClip clip;
                if (!platform::LoadWavFile(target, clip))
                    return Outcome::Refused;
                // The layout the device's output is opened with.
                AudioLayout output{};
                output.freq = 22050;
                output.format = AUDIO_S16SYS;
                output.channels = 1;
                return Of(platform::ConvertWav(clip, output));
            }};
}

FileKind SchemeKind(const std::string& work)
{
    std::string target = work + "/scheme.xml";
    WriteBytes(target, platform::WideToUtf8(homescreen::DefaultSchemeText()));
    return {"home scheme", target, {target}, [target](const std::string&) {
                homescreen::Scheme scheme = homescreen::ReadScheme(platform::Utf8ToWide(target));
                return Of(scheme.error.empty());
            }};
}

FileKind DialogTemplateKind(const std::string& work)
{
    uifw::TemplateHeader header{0, 120, 80, {}, u"Settings", 8, u"Nina"};
    std::vector<uifw::TemplateControl> controls = {
        {0x50010000, 1, 0x0080, {}, u"OK", {}},
        {0x50810080, 2, 0x0081, {}, u"123456", {}},
        {0x50010003, 3, 0, u"CorvaneList", u"Sound", {2, 0, 0xAB, 0xCD}},
    };
    std::string target = work + "/dialog.bin";
    std::optional<std::vector<BYTE>> bytes = uifw::WriteDialogTemplate(header, controls);
    WriteBytes(target, bytes ? std::string(bytes->begin(), bytes->end()) : std::string());
    return {"dialog template", target, {target}, [](const std::string& mutant) {
                auto dialog = platform::dialog::ReadDialogTemplate(reinterpret_cast<const BYTE*>(mutant.data()),
                                                                   mutant.size());
                return Of(dialog.has_value());
            }};
}

FileKind PluginRecordKind(const std::string& work)
{
    plugin::PluginSettings settings;
    settings.pluginHandle = 7;
    settings.height = 24;
    settings.fontFace = u"Nina";
    settings.background = u"#102030";
    settings.textColour = u"#F0F0F0";
    std::vector<BYTE> record = plugin::EncodeRecord(settings);
    std::string target = work + "/plugin-record.bin";
    WriteBytes(target, std::string(record.begin(), record.end()));
    return {"plug-in record", target, {target}, [](const std::string& mutant) {
                plugin::DecodedRecord decoded = plugin::DecodeRecord(
                    std::span<const BYTE>(reinterpret_cast<const BYTE*>(mutant.data()), mutant.size()));
                // What was read must write back whole.
                plugin::DecodedRecord again = plugin::DecodeRecord(plugin::EncodeRecord(decoded.settings));
                if (!again.complete)
                    return Lost("a decoded record does not write back whole");
                return Of(decoded.complete);
            }};
}

}  // namespace

std::vector<FileKind> AssetKinds(const std::string& work, const std::string& assets)
{
    return {SkinKind(work, assets),  IconKind(work, assets), SmileyKind(work, assets),
            BitmapKind(work, assets), SoundKind(work, assets), SchemeKind(work),
            DialogTemplateKind(work), PluginRecordKind(work)};
}

}  // namespace mutate
