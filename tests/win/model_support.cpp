#include <windows.h>
// The interface's operations share their names with the system's A/W macros.
#undef ShellExecute
#undef MessageBox
#undef ExtractAssociatedIcon

#include "model_support.h"

#include "model/host.h"
#include "platform/text.h"
#include "ybfs/ybfs2.h"

namespace modeltest {

TModelSystem::TModelSystem(std::string programFolder) : folder_(std::move(programFolder)) {
    real_ = platform::SetSystem(this);
}

TModelSystem::~TModelSystem() {
    platform::SetSystem(real_);
}

int TModelSystem::ShellExecute(platform::TWindowHandle owner, const std::string& verb,
                               const std::string& file, const std::string* params, const std::string* dir,
                               int showCmd) {
    TShellCall call = TShellCall::Of(owner, verb, file, params, dir, showCmd);
    call.Result = real_->ShellExecute(owner, verb, file, params, dir, showCmd);
    ShellCalls.push_back(call);
    return call.Result;
}

int TModelSystem::CopyFilesInto(platform::TWindowHandle owner, const std::vector<std::string>& files,
                                const std::string& folder) {
    return real_->CopyFilesInto(owner, files, folder);
}

bool TModelSystem::ExtractAssociatedIcon(const std::string& path, platform::TIconImage& icon,
                                         platform::TIconPInfo* location) {
    ++AssociatedIcons;
    return real_->ExtractAssociatedIcon(path, icon, location);
}

bool TModelSystem::ExtractIndexedIcon(const std::string& file, int index, platform::TIconImage& icon) {
    ++IndexedIcons;
    return real_->ExtractIndexedIcon(file, index, icon);
}

int TModelSystem::MessageBox(const std::string& text, const std::string&, unsigned flags) {
    Boxes.push_back(text);
    return (flags & 0xF) == platform::mbRetryCancel ? platform::idCancel : platform::idOk;
}

std::string Narrowed(const std::wstring& wide) {
    std::string out;
    platform::Narrow(wide, out);
    return out;
}

TOpenDocument::TOpenDocument() : doc_(std::make_unique<TDocument>()) {
    SetDocument(doc_.get());
    doc_->Init();
}

void TOpenDocument::Close() {
    doc_.reset();
    SetDocument(nullptr);
}

TEnvironmentVariable::TEnvironmentVariable(const std::wstring& name, const std::wstring& value)
    : name_(name) {
    SetEnvironmentVariableW(name.c_str(), value.c_str());
}

TEnvironmentVariable::~TEnvironmentVariable() {
    SetEnvironmentVariableW(name_.c_str(), nullptr);
}

} // namespace modeltest
