#include "uploader_main.h"

int main(int argc, char** argv) {
    return vorna::uploader::uploaderMain(vorna::uploader::Build::Sirvex, argc, argv);
}
