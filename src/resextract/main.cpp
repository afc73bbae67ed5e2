// qarvo-resextract RES OUT: writes the data of the version resource that windres compiled into
// RES to OUT, the bytes that the viewer's executable carries in a section of its own.
#include "ResFile.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::cerr << "usage: qarvo-resextract RES OUT\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::string res((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto version = ResFile::find(res, ResFile::kVersionType);
    if (!in || !version) {
        std::cerr << "qarvo-resextract: " << argv[1] << " holds no version resource\n";
        return 1;
    }
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out.write(version->data(), static_cast<std::streamsize>(version->size()));
    if (!out.flush()) {
        std::cerr << "qarvo-resextract: cannot write " << argv[2] << "\n";
        return 1;
    }
    return 0;
}
