#pragma once
// The data model on the real Windows system layer. TModelSystem passes every call
// through to the system it replaces (TWin32System), except that it gives the model
// a program folder of the test's own and answers message boxes (the system's and
// the storage library's) without showing them; it counts icon extractions and
// records what was started, so that a test can tell a cached icon from one
// extracted again.
#include <memory>
#include <string>
#include <vector>

#include "model/document.h"
#include "platform/system.h"
#include "support/shell_call.h"

namespace modeltest {

class TModelSystem : public platform::ISystem {
public:
    // programFolder ends in a path separator, as ProgramFolder() does.
    explicit TModelSystem(std::string programFolder);
    ~TModelSystem() override;
    TModelSystem(const TModelSystem&) = delete;
    TModelSystem& operator=(const TModelSystem&) = delete;

    int ShellExecute(platform::TWindowHandle owner, const std::string& verb, const std::string& file,
                     const std::string* params, const std::string* dir, int showCmd) override;
    int CopyFilesInto(platform::TWindowHandle owner, const std::vector<std::string>& files,
                      const std::string& folder) override;
    platform::TPathKind GetPathKind(const std::string& path) override { return real_->GetPathKind(path); }
    bool ExtractAssociatedIcon(const std::string& path, platform::TIconImage& icon,
                               platform::TIconPInfo* location) override;
    bool ExtractIndexedIcon(const std::string& file, int index, platform::TIconImage& icon) override;
    bool ExtractIconAtSize(const std::string& file, bool indexed, int index, int size,
                           platform::TIconImage& icon) override {
        return real_->ExtractIconAtSize(file, indexed, index, size, icon);
    }
    int AnalyseShortcut(const std::string& path, platform::TLinkInfo& info) override {
        return real_->AnalyseShortcut(path, info);
    }
    // Recorded and answered with Cancel (Retry/Cancel boxes) or OK, never shown.
    int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override;
    void SetWaitCursor(bool wait) override { real_->SetWaitCursor(wait); }
    std::string ProgramFolder() override { return folder_; }
    uint32_t ColorToPixel(platform::TColor color) override { return real_->ColorToPixel(color); }

    int IconExtractions() const { return AssociatedIcons + IndexedIcons; }

    int AssociatedIcons = 0; // calls of ExtractAssociatedIcon
    int IndexedIcons = 0;    // calls of ExtractIndexedIcon
    std::vector<TShellCall> ShellCalls;
    std::vector<std::string> Boxes; // texts of the boxes the model asked for

private:
    platform::ISystem* real_;
    std::string folder_;
};

// A wide path as the model's code page 932 text (the tests' paths all have one).
std::string Narrowed(const std::wstring& wide);

// Sets an environment variable while it lives (inherited by what the test starts)
// and removes it again.
class TEnvironmentVariable {
public:
    TEnvironmentVariable(const std::wstring& name, const std::wstring& value);
    ~TEnvironmentVariable();
    TEnvironmentVariable(const TEnvironmentVariable&) = delete;
    TEnvironmentVariable& operator=(const TEnvironmentVariable&) = delete;

private:
    std::wstring name_;
};

// A document made the program-wide one and initialised (it loads the data file
// of the program folder); Close() destroys it, which saves as the program does on
// exit.
class TOpenDocument {
public:
    TOpenDocument();
    ~TOpenDocument() { Close(); }
    TOpenDocument(const TOpenDocument&) = delete;
    TOpenDocument& operator=(const TOpenDocument&) = delete;

    TDocument* operator->() { return doc_.get(); }
    TDocument& operator*() { return *doc_; }
    void Close();

private:
    std::unique_ptr<TDocument> doc_;
};

} // namespace modeltest
