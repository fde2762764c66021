// Writes the program's icon: the artwork at 48, 32 and 16 pixels, each in 32-bit colour with
// alpha and in 256 colours. Usage: make_icon OUTPUT.ico
#include <cstdio>
#include <fstream>
#include <iostream>
#include <vector>

#include "Artwork.h"
#include "IcoFile.h"
#include "Palette.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_icon OUTPUT.ico\n";
        return 2;
    }
    std::vector<icon::IconEntry> entries;
    for (const int size : {48, 32, 16}) {
        const icon::Image image = icon::DrawAppIcon(size);
        entries.push_back(icon::Encode32(image));
        entries.push_back(icon::Encode8(icon::Quantise(image)));
    }
    const icon::Bytes file = icon::EncodeIco(entries);
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file.data()),
              static_cast<std::streamsize>(file.size()));
    out.close();
    if (!out) {
        std::cerr << "make_icon: cannot write " << argv[1] << "\n";
        std::remove(argv[1]);
        return 1;
    }
    return 0;
}
