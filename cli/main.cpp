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

// Runs `work` on each file in turn. Its messages name the file, and a failure, memory
// running out included, ends only that file's work.
template <class Work>
int ForEachFile(StderrBackend& backend, const std::vector<std::string>& files, Work work) {
    int status = kEveryFileDone;
    for (const std::string& file : files) {
        backend.SetFile(file);
        bool passed = false;
        try {
            passed = work(file);
        } catch (const std::bad_alloc&) {
            backend.ShowMessage("Not enough memory", "");
        }
        if (!passed) {
            status = kSomeFileFailed;
        }
    }
    return status;
}

int ConvertFiles(StderrBackend& backend, const std::vector<std::string>& files,
                 const AnsiString& outputPrefix) {
    return ForEachFile(backend, files, [&](const std::string& file) {
        uint32_t imageSize = 0;
        if (!ConvertFile(file, outputPrefix, imageSize)) {
            return false;
        }
        const AnsiString output = outputPrefix + MakeBaseName(file) + ".bin";
        std::cout << file << " -> " << output.str() << " (" << imageSize << " bytes)" << std::endl;
        return true;
    });
}

int ReportFiles(StderrBackend& backend, const std::vector<std::string>& files) {
    bool first = true;
    return ForEachFile(backend, files, [&](const std::string& file) {
        uint32_t inputLength = 0;
        uint32_t imageSize = 0;
        if (!LoadInput(file, inputLength) || !BuildImage(inputLength, imageSize)) {
            return false;
        }
        std::cout << (first ? "" : "\n") << file << '\n';
        first = false;
        const bool checked =
            PrintInfo(std::cout, InputBuffer.get(), inputLength, BlockTable, imageSize);
        std::cout.flush();
        return checked;
    });
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app("Converts VBF containers into flat binary images that start at address 0.",
                 "vbf2bin");
    std::vector<std::string> files;
    std::string outputFolder;
    bool info = false;
    CLI::Option* output = app.add_option("-o,--output", outputFolder,
                                         "Folder for the images (default: the current one)")
                              ->type_name("DIR");
    app.add_flag("--info", info, "Report header fields, blocks and checksums; write nothing")
        ->excludes(output);
    app.add_option("FILE", files, "VBF files")->required()->type_name("");
    app.set_version_flag("--version", kVersion);
    app.footer(
        "Each FILE becomes DIR/<base name>.bin. Exit status: 0 when every file converted\n"
        "(with --info: would convert, and every checksum present matches),\n"
        "1 otherwise, 2 for a usage error.");
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
    return info ? ReportFiles(backend, files)
                : ConvertFiles(backend, files, OutputPrefix(outputFolder));
}
