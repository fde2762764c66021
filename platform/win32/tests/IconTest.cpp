// The exe's icon as Windows decodes it, held to the approved artwork (docs/dialog.png).
#include <cstdint>
#include <map>

#include "platform/win32/resources/resource.h"
#include "platform/win32/tests/DialogFixture.h"

namespace {

using namespace dialog_test;

// The approved artwork's images by size and bits: an FNV-1a checksum of every pixel and mask bit.
const std::map<std::pair<int, int>, std::uint32_t> kApproved{
    {{48, 32}, 0x42FD13D6}, {{48, 8}, 0x159A4DB2},  {{32, 32}, 0xC93CFED4},
    {{32, 8}, 0xAAB2FFFE},  {{16, 32}, 0x09C13802}, {{16, 8}, 0x262DB10E}};

std::uint32_t Checksum(const IconImage& image) {
    std::uint32_t checksum = 2166136261U;
    for (std::size_t i = 0; i < image.pixels.size(); ++i)
        for (const DWORD word : {image.pixels[i], DWORD{image.masked[i]}})
            for (int shift = 0; shift < 32; shift += 8)
                checksum = (checksum ^ (word >> shift & 0xFF)) * 16777619U;
    return checksum;
}

// Every image of the program's icon group as Windows decodes it from the exe: 48, 32 and 16
// pixels, each in 32 bits and in 8; the title bar shows the 32-bit ones of its sizes at 96 DPI.
TEST_F(DialogTest, TheIconHasTheApprovedArtworkInEachImageAndTheTitleBarShowsIt) {
    const std::string group = ProgramResource(RT_GROUP_ICON, MAKEINTRESOURCEW(IDI_QUILLMARROW));
    std::map<std::pair<int, int>, IconImage> images;               // by size and bits
    for (std::size_t at = 6; at + 14 <= group.size(); at += 14) {  // each GRPICONDIRENTRY
        const auto* entry = reinterpret_cast<const BYTE*>(group.data() + at);
        std::string bytes = ProgramResource(RT_ICON, MAKEINTRESOURCEW(entry[12] | entry[13] << 8));
        const int size = entry[0], bits = entry[6] | entry[7] << 8;
        const win32::UniqueIcon icon(
            ::CreateIconFromResourceEx(reinterpret_cast<BYTE*>(bytes.data()), DWORD(bytes.size()),
                                       TRUE, 0x00030000, size, size, LR_DEFAULTCOLOR));
        images[{size, bits}] = AsWindowsHoldsIt(icon.get(), bits == 32);
    }
    ASSERT_EQ(images.size(), kApproved.size());
    for (const auto& [sizeAndBits, approved] : kApproved)
        EXPECT_EQ(Checksum(images[sizeAndBits]), approved)
            << sizeAndBits.first << " pixels, " << sizeAndBits.second << " bits";
    for (const auto& [which, size] :
         {std::pair(WPARAM{ICON_BIG}, 32), std::pair(WPARAM{ICON_SMALL}, 16)})
        EXPECT_TRUE(AsWindowsHoldsIt(TitleBarIcon(which), true).pixels ==
                    images[std::pair(size, 32)].pixels)
            << size << " pixels";
}

}  // namespace
