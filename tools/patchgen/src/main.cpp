// patchgen: writes the sample patch package and its description block.
//   patchgen --msp OUT.msp --patchinfo OUT.txt [--gcab PROGRAM] [--release sample|second]
#include <gsf/gsf.h>

#include <cstdio>
#include <exception>
#include <fstream>
#include <string>

#include "patch_package.h"

namespace {

void WriteFile(const std::string& path, const char* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(data, static_cast<std::streamsize>(size));
    out.close();
    if (!out) throw std::runtime_error("cannot write " + path);
}

int Usage() {
    std::fprintf(stderr, "usage: patchgen --msp OUT.msp --patchinfo OUT.txt [--gcab PROGRAM]"
                         " [--release sample|second]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string msp, patchinfo, gcab = "gcab", which = "sample";
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc) return Usage();
        if (arg == "--msp") msp = argv[++i];
        else if (arg == "--patchinfo") patchinfo = argv[++i];
        else if (arg == "--gcab") gcab = argv[++i];
        else if (arg == "--release") which = argv[++i];
        else return Usage();
    }
    if (msp.empty() || patchinfo.empty() || (which != "sample" && which != "second"))
        return Usage();
    try {
        gsf_init();
        const patchgen::PatchRelease release =
            which == "second" ? patchgen::SecondRelease() : patchgen::SampleRelease();
        const patchgen::Bytes package = patchgen::BuildPatchPackage(release, gcab);
        const std::string info = patchgen::PatchInfoText(release, package.size());
        WriteFile(msp, reinterpret_cast<const char*>(package.data()), package.size());
        WriteFile(patchinfo, info.data(), info.size());
        gsf_shutdown();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "patchgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
