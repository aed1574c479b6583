// vbf2bin: converts VBF containers into flat binary images from the command line, or reports
// their blocks and checksums, with the conversion code of the window program.
#include <CLI/CLI.hpp>

#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "ConvertCommand.h"
#include "FileAccess.h"
#include "InfoReport.h"
#include "StderrBackend.h"
#include "VbfImage.h"

namespace {

constexpr char kVersion[] = "vbf2bin 1.1 (Tessarin)";
constexpr char kUsage[] =
    "usage: vbf2bin [-o DIR] FILE...\n"
    "       vbf2bin --info FILE...\n"
    "Try 'vbf2bin --help' for more.\n";

enum ExitStatus { kEveryFileDone = 0, kSomeFileFailed = 1, kUsageError = 2 };

// Output names are the folder followed directly by the file name, so the folder needs a
// separator at its end.
AnsiString OutputPrefix(std::string folder) {
    const bool windows = kHostPathRules == PathRules::Windows;
    const std::string separators = windows ? "\\/:" : "/";
    if (!folder.empty() && separators.find(folder.back()) == std::string::npos) {
        folder += windows ? '\\' : '/';
    }
    return folder;
}

// One file's work; its messages name the file, and memory running out ends only this file.
template <class Work>
bool ForFile(StderrBackend& backend, const std::string& file, Work work) {
    backend.SetFile(file);
    try {
        return work(AnsiString(file));
    } catch (const std::bad_alloc&) {
        backend.ShowMessage("Not enough memory", "");
        return false;
    }
}

int ConvertFiles(StderrBackend& backend, const std::vector<std::string>& files,
                 const AnsiString& outputPrefix) {
    int status = kEveryFileDone;
    for (const std::string& file : files) {
        const bool done = ForFile(backend, file, [&](const AnsiString& path) {
            uint32_t imageSize = 0;
            if (!ConvertFile(path, outputPrefix, imageSize)) {
                return false;
            }
            const AnsiString output = outputPrefix + MakeBaseName(path) + ".bin";
            std::cout << file << " -> " << output.str() << " (" << imageSize << " bytes)"
                      << std::endl;
            return true;
        });
        if (!done) {
            status = kSomeFileFailed;
        }
    }
    return status;
}

int ReportFiles(StderrBackend& backend, const std::vector<std::string>& files) {
    int status = kEveryFileDone;
    bool first = true;
    for (const std::string& file : files) {
        const bool passed = ForFile(backend, file, [&](const AnsiString& path) {
            uint32_t inputLength = 0;
            uint32_t imageSize = 0;
            if (!LoadInput(path, inputLength) || !BuildImage(inputLength, imageSize)) {
                return false;
            }
            std::cout << (first ? "" : "\n") << file << '\n';
            first = false;
            const bool checked = PrintInfo(std::cout, InputBuffer.get(), inputLength, BlockTable, imageSize);
            std::cout.flush();
            return checked;
        });
        if (!passed) {
            status = kSomeFileFailed;
        }
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app("Converts VBF containers into flat binary images that start at address 0.",
                 "vbf2bin");
    std::vector<std::string> files;
    std::string outputFolder;
    bool info = false;
    CLI::Option* output =
        app.add_option("-o,--output", outputFolder, "Folder for the images (default: the current one)")
            ->type_name("DIR");
    app.add_flag("--info", info, "Report header fields, blocks and checksums; write nothing")
        ->excludes(output);
    app.add_option("FILE", files, "VBF files")->required()->type_name("");
    app.set_version_flag("--version", kVersion);
    app.footer(
        "Each FILE becomes DIR/<base name>.bin. Exit status: 0 when every file converted (or,\n"
        "with --info, would convert with every checksum matching), 1 otherwise, 2 for a usage\n"
        "error.");
    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& done) {
        return app.exit(done);  // --help or --version
    } catch (const CLI::ParseError& error) {
        std::cerr << "vbf2bin: " << error.what() << '\n' << kUsage;
        return kUsageError;
    }

    StderrBackend backend;
    SetBackend(&backend);
    return info ? ReportFiles(backend, files) : ConvertFiles(backend, files, OutputPrefix(outputFolder));
}
