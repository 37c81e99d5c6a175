// Draws the program's pictures into the given folder.

#include <iostream>
#include <string>

#include "assembler/ScrambledFile.h"
#include "platform/Bitmap.h"

using namespace quorvel;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make-pictures OUTPUT-FOLDER\n";
        return 1;
    }
    const std::string folder = argv[1];
    Bitmap face(700, 480, {60, 60, 64});
    if (!savePng(folder + "/face.png", face)) {
        std::cerr << "make-pictures: cannot write " << folder << "/face.png\n";
        return 1;
    }
    return 0;
}
