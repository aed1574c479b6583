#pragma once
// Shared fixtures of the unit tests: a backend that records what the user would see and
// answers dialogs from a script (its windows are records and its event loop returns at
// once), a scratch folder that is the current directory, and a builder for VBF files.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "Backend.h"
#include "Encoding.h"
#include "Exception.h"
#include "Forms.h"

class RecordingBackend : public Backend {
public:
    void ShowMessage(const AnsiString& text, const AnsiString& caption) override {
        messages.push_back("[" + Cp1251ToUtf8(caption.str()) + "] " + Cp1251ToUtf8(text.str()));
    }
    bool ExecuteOpenDialog(const AnsiString&, AnsiString& fileName) override {
        if (dialogAnswers.empty() || dialogAnswers.front().empty()) {
            if (!dialogAnswers.empty()) dialogAnswers.pop_front();
            return false;
        }
        fileName = dialogAnswers.front();
        dialogAnswers.pop_front();
        return true;
    }

    std::string ReadResource(const AnsiString& name) override {
        const auto found = resources.find(name.str());
        if (found == resources.end()) throw Exception("No resource " + name.str());
        return found->second;
    }
    WindowHandle MakeWindow(TForm& form) override {
        windowsMade.push_back(&form);
        return &form;
    }
    void FreeWindow(WindowHandle window) override { windowsFreed.push_back(window); }
    void SetCaption(WindowHandle window, TControl& control, const AnsiString& caption) override {
        captionsSet.push_back({window, &control, caption.str()});
    }
    void RunEventLoop(TForm& form) override {
        eventLoops.push_back(form.Caption.Text().str());
        if (onEventLoop) onEventLoop(form);
    }
    void ShowException(const AnsiString& message) override {
        messages.push_back("[Exception] " + Cp1251ToUtf8(message.str()));
    }
    void ExecuteShell(WindowHandle owner, const AnsiString& operation, const AnsiString& file,
                      const AnsiString& parameters, const AnsiString& directory, int showCommand) override {
        messages.push_back("[Shell] " + operation.str() + " " + file.str());
        shellRequests.push_back({owner, parameters.str(), directory.str(), showCommand});
    }

    struct CaptionSet { WindowHandle window; TControl* control; std::string caption; };
    struct ShellRequest { WindowHandle owner; std::string parameters, directory; int showCommand; };

    std::vector<std::string> messages;    // "[caption] text", as UTF-8, and the lines below
    std::deque<std::string> dialogAnswers;  // an empty answer cancels
    std::map<std::string, std::string> resources;
    std::vector<TForm*> windowsMade;
    std::vector<WindowHandle> windowsFreed;
    std::vector<CaptionSet> captionsSet;
    std::vector<std::string> eventLoops;  // the form's caption as each loop starts
    std::function<void(TForm&)> onEventLoop;
    std::vector<ShellRequest> shellRequests;
};

// Whether the suite runs on Windows, where some failures cannot be staged (see below).
#ifdef _WIN32
inline constexpr bool kWindowsHost = true;
#else
inline constexpr bool kWindowsHost = false;
#endif

// Names this run's scratch folders; the random part keeps concurrent runs apart. A death
// test in the threadsafe style (the only style on Windows) runs the test again in a child
// process. The child inherits the tag through the environment, so it works in the parent's
// folder, where the parent then checks what the child left behind.
inline const std::string& ScratchTag() {
    static const std::string tag = [] {
        if (const char* inherited = std::getenv("TESSARIN_SCRATCH_TAG")) {
            return std::string(inherited);
        }
        const std::string made = std::to_string(std::random_device{}());
        static std::string entry;  // putenv keeps the pointer
        entry = "TESSARIN_SCRATCH_TAG=" + made;
        putenv(entry.data());
        return made;
    }();
    return tag;
}

// Installs a RecordingBackend and makes a scratch folder the current directory.
class ScratchTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = std::filesystem::current_path();
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = "tessarin-" + ScratchTag() + "-" + info->test_suite_name() + "-" + info->name();
        for (char& c : name) {
            if (c == '/') c = '_';  // parameterised test names hold slashes
        }
        dir_ = std::filesystem::temp_directory_path() / name;
        std::filesystem::create_directories(dir_);
        std::filesystem::current_path(dir_);
        SetBackend(&backend);
    }
    void TearDown() override {
        SetBackend(nullptr);
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(dir_);
    }

    RecordingBackend backend;

private:
    std::filesystem::path previous_;
    std::filesystem::path dir_;
};

inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline std::string BE32(uint32_t value) {
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
            static_cast<char>(value >> 8), static_cast<char>(value)};
}

// One data block as stored: address, length, data, then the trailer (pass fewer than two
// trailer bytes for a cut file).
inline std::string Block(uint32_t address, const std::string& data, const std::string& trailer = std::string(2, '\0')) {
    return BE32(address) + BE32(static_cast<uint32_t>(data.size())) + data + trailer;
}

// Stages a file that opens but cannot be read: a folder. Windows opens no folder as a file,
// and Wine does not enforce the byte-range locks that would stage it there: the calling test
// is skipped (check IsSkipped() after the call).
inline void MakeUnreadableInput(const std::filesystem::path& name) {
    if (kWindowsHost) {
        GTEST_SKIP() << "no file that opens and then fails to read can be staged on Windows";
    }
    std::filesystem::create_directory(name);
}

// Stages an output name that opens but refuses every write: a link to /dev/full. Windows has
// no such device: the calling test is skipped (check IsSkipped() after the call).
inline void MakeFullOutput(const std::filesystem::path& name) {
    if (kWindowsHost) {
        GTEST_SKIP() << "Windows has no device that opens for writing and then refuses writes";
    }
    std::filesystem::remove(name);  // a threadsafe death test's child stages it again
    std::filesystem::create_symlink("/dev/full", name);
}

inline const std::string kHeader = "vbf_version = 2.6;\nheader {\n  sw_part_type = EXE;\n}";
