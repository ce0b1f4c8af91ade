// A desktop whose locale writes decimals with a comma, for the tests of number
// texts. On Linux the German locale is compiled with localedef into a private
// folder (LOCPATH), so the test needs no root and no locale installed on the
// machine, only Debian's locale sources (package "locales"); on Windows the
// system has it.
//
//   DecimalCommaLocale german;           // the C library's locale is now German
//   ASSERT_TRUE(german.Active()) << german.Why();
//   ... everything the program formats or reads ...
//                                        // the locale before is back at the end
#pragma once

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#ifndef _WIN32
#include <unistd.h>
#endif

class DecimalCommaLocale {
public:
    DecimalCommaLocale()
    {
        const char* before = std::setlocale(LC_ALL, nullptr);
        before_ = before ? before : "C";
#ifdef _WIN32
        // The universal C runtime's name, then the older runtime's (msvcrt.dll,
        // which MinGW-w64 programs use, and Wine's).
        const char* name = std::setlocale(LC_ALL, "de-DE");
        if (!name) name = std::setlocale(LC_ALL, "German_Germany.1252");
#else
        const std::string folder = Folder();
        if (folder.empty()) return;
        if (const char* path = std::getenv("LOCPATH")) locPathBefore_ = path;
        hadLocPath_ = std::getenv("LOCPATH") != nullptr;
        ::setenv("LOCPATH", folder.c_str(), 1);
        setLocPath_ = true;
        const char* name = std::setlocale(LC_ALL, "de_DE.UTF-8");
#endif
        if (!name) {
            why_ = "the German locale cannot be set";
            return;
        }
        const std::lconv* lc = std::localeconv();
        if (!lc || std::string(lc->decimal_point) != ",") {
            why_ = "the German locale does not write a decimal comma";
            return;
        }
        active_ = true;
    }
    ~DecimalCommaLocale()
    {
        std::setlocale(LC_ALL, before_.c_str());
#ifndef _WIN32
        // LOCPATH as it was: with it left set, every later setlocale of the
        // process (Qt's printing makes some) reads the private folder, and
        // glibc keeps a little memory for it that the leak check reports.
        if (setLocPath_) {
            if (hadLocPath_)
                ::setenv("LOCPATH", locPathBefore_.c_str(), 1);
            else
                ::unsetenv("LOCPATH");
        }
#endif
    }
    DecimalCommaLocale(const DecimalCommaLocale&) = delete;
    DecimalCommaLocale& operator=(const DecimalCommaLocale&) = delete;

    bool Active() const { return active_; }
    const std::string& Why() const { return why_; }

#ifndef _WIN32
    // The folder holding the compiled locale, made once per test run; empty
    // (with the reason) when localedef fails.
    static std::string Folder()
    {
        static const std::string folder = [] {
            std::error_code ec;
            const std::filesystem::path dir =
                std::filesystem::temp_directory_path(ec) / ("quelf-locale-" + std::to_string(::getpid()));
            std::filesystem::create_directories(dir, ec);
            const std::string command =
                "localedef -i de_DE -f UTF-8 '" + (dir / "de_DE.UTF-8").string() + "' >/dev/null 2>&1";
            // localedef warns (exit 1) about details of the sources yet writes the locale.
            (void)std::system(command.c_str());
            if (!std::filesystem::exists(dir / "de_DE.UTF-8" / "LC_NUMERIC", ec)) return std::string();
            return dir.string();
        }();
        // Removed when the test run ends.
        static const struct Remover {
            std::string dir;
            ~Remover()
            {
                std::error_code ec;
                if (!dir.empty()) std::filesystem::remove_all(dir, ec);
            }
        } remover{folder};
        return folder;
    }
#endif

private:
    std::string before_;
    std::string locPathBefore_;
    bool hadLocPath_ = false;
    bool setLocPath_ = false;
    std::string why_ = "localedef could not make the German locale (Debian package \"locales\")";
    bool active_ = false;
};
