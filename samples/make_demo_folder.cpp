// quorvela-make-demo FOLDER: writes the demo folder of small photos a first run opens on.
#include <exception>
#include <iostream>

#include "demo_folder.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: quorvela-make-demo FOLDER\n";
        return 2;
    }
    try {
        quorvela::samples::WriteDemoFolder(argv[1]);
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
    return 0;
}
