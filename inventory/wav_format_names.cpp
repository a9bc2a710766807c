#include "inventory/wav_format_names.h"

#include <algorithm>
#include <array>

namespace tambrel {
namespace {

struct FormatName {
    std::uint16_t tag;
    std::string_view name;
};

// In ascending tag order, for the binary search.
constexpr std::array kNames{
    FormatName{0x0000, "Unknown"},
    FormatName{0x0001, "PCM"},
    FormatName{0x0002, "Microsoft ADPCM"},
    FormatName{0x0003, "IEEE float"},
    FormatName{0x0004, "VSELP"},
    FormatName{0x0005, "IBM CVSD"},
    FormatName{0x0006, "G.711 A-law"},
    FormatName{0x0007, "G.711 mu-law"},
    FormatName{0x0010, "OKI ADPCM"},
    FormatName{0x0011, "IMA ADPCM"},
    FormatName{0x0012, "MediaSpace ADPCM"},
    FormatName{0x0013, "Sierra ADPCM"},
    FormatName{0x0014, "G.723 ADPCM"},
    FormatName{0x0015, "DigiSTD"},
    FormatName{0x0016, "DigiFIX"},
    FormatName{0x0017, "Dialogic OKI ADPCM"},
    FormatName{0x0018, "MediaVision ADPCM"},
    FormatName{0x0019, "HP CU"},
    FormatName{0x0020, "Yamaha ADPCM"},
    FormatName{0x0021, "Sonarc"},
    FormatName{0x0022, "TrueSpeech"},
    FormatName{0x0023, "EchoSC1"},
    FormatName{0x0024, "AF36"},
    FormatName{0x0025, "APTX"},
    FormatName{0x0026, "AF10"},
    FormatName{0x0027, "Prosody 1612"},
    FormatName{0x0028, "LRC"},
    FormatName{0x0030, "Dolby AC2"},
    FormatName{0x0031, "GSM 6.10"},
    FormatName{0x0032, "MSN Audio"},
    FormatName{0x0033, "ADPCME"},
    FormatName{0x0034, "VQLPC"},
    FormatName{0x0035, "DigiREAL"},
    FormatName{0x0036, "DigiADPCM"},
    FormatName{0x0037, "CR10"},
    FormatName{0x0038, "VBX ADPCM"},
    FormatName{0x0039, "Roland RDAC"},
    FormatName{0x003A, "EchoSC3"},
    FormatName{0x003B, "Rockwell ADPCM"},
    FormatName{0x003C, "Rockwell DigitalK"},
    FormatName{0x003D, "Xebec"},
    FormatName{0x0040, "G.721 ADPCM"},
    FormatName{0x0041, "G.728 CELP"},
    FormatName{0x0042, "MSG723"},
    FormatName{0x0050, "MPEG"},
    FormatName{0x0052, "RT24"},
    FormatName{0x0053, "PAC"},
    FormatName{0x0055, "MPEG Layer 3"},
    FormatName{0x0059, "Lucent G.723"},
    FormatName{0x0060, "Cirrus"},
    FormatName{0x0061, "ESPCM"},
    FormatName{0x0062, "Voxware"},
    FormatName{0x0063, "Canopus Atrac"},
    FormatName{0x0064, "G.726 ADPCM"},
    FormatName{0x0065, "G.722 ADPCM"},
    FormatName{0x0066, "DSAT"},
    FormatName{0x0067, "DSAT Display"},
    FormatName{0x0069, "Voxware Byte Aligned"},
    FormatName{0x0070, "Voxware AC8"},
    FormatName{0x0071, "Voxware AC10"},
    FormatName{0x0072, "Voxware AC16"},
    FormatName{0x0073, "Voxware AC20"},
    FormatName{0x0074, "Voxware MetaVoice"},
    FormatName{0x0075, "Voxware MetaSound"},
    FormatName{0x0076, "Voxware RT29HW"},
    FormatName{0x0077, "Voxware VR12"},
    FormatName{0x0078, "Voxware VR18"},
    FormatName{0x0079, "Voxware TQ40"},
    FormatName{0x0080, "Softsound"},
    FormatName{0x0081, "Voxware TQ60"},
    FormatName{0x0082, "MSRT24"},
    FormatName{0x0083, "G.729A"},
    FormatName{0x0084, "MVI MV12"},
    FormatName{0x0085, "DF G.726"},
    FormatName{0x0086, "DF GSM 6.10"},
    FormatName{0x0088, "ISIAudio"},
    FormatName{0x0089, "Onlive"},
    FormatName{0x0091, "SBC24"},
    FormatName{0x0092, "Dolby AC3 SPDIF"},
    FormatName{0x0097, "ZyXEL ADPCM"},
    FormatName{0x0098, "Philips LPCBB"},
    FormatName{0x0099, "Packed"},
    FormatName{0x0100, "Rhetorex ADPCM"},
    FormatName{0x0101, "IRAT"},
    FormatName{0x0111, "Vivo G.723"},
    FormatName{0x0112, "Vivo Siren"},
    FormatName{0x0123, "Digital G.723"},
    // Registered after the IETF's list; the codec table names them.
    FormatName{0x0133, "Sipro Lab G.729"},
    FormatName{0x0134, "Sipro Lab G.729A"},
    FormatName{0x0140, "Dictaphone G.726 ADPCM"},
    FormatName{0x0200, "Creative ADPCM"},
    FormatName{0x0202, "Creative FastSpeech8"},
    FormatName{0x0203, "Creative FastSpeech10"},
    FormatName{0x0220, "Quarterdeck"},
    FormatName{0x0300, "FM Towns Snd"},
    FormatName{0x0400, "BTV Digital"},
    FormatName{0x0680, "VME VMPCM"},
    FormatName{0x1000, "OLIGSM"},
    FormatName{0x1001, "OLIADPCM"},
    FormatName{0x1002, "OLICELP"},
    FormatName{0x1003, "OLISBC"},
    FormatName{0x1004, "OLIOPR"},
    FormatName{0x1100, "L&H Codec"},
    FormatName{0x1400, "Norris"},
    FormatName{0x1401, "ISIAudio 2"},
    FormatName{0x1500, "SoundSpace Music Compression"},
    FormatName{0x2000, "DVM"},
    // Registered after the IETF's list: the real codec is in the sub-format GUID.
    FormatName{0xFFFE, "Extensible"},
};

constexpr bool ascending() {
    for (std::size_t i = 1; i < kNames.size(); ++i)
        if (kNames[i - 1].tag >= kNames[i].tag)
            return false;
    return true;
}
static_assert(ascending(), "the binary search needs the tags in ascending order");

} // namespace

std::string_view wavFormatName(std::uint16_t formatTag) {
    const auto found = std::lower_bound(
        kNames.begin(), kNames.end(), formatTag,
        [](const FormatName& entry, std::uint16_t tag) { return entry.tag < tag; });
    if (found == kNames.end() || found->tag != formatTag)
        return {};
    return found->name;
}

} // namespace tambrel
