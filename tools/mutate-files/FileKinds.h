// The kinds of file the campaign damages: for each, a real file made by the
// program's own writers (or shipped with it) in a scratch folder, and the
// check that reads a damaged copy the way the program does.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace mutate {

// What a check found; the values are the exit codes of the process that ran
// it (any other end of that process is a crash or a hang).
enum class Outcome { Loaded = 0, Refused = 3, Lost = 4 };

struct FileKind {
    std::string name;
    std::string target;              // the file the mutants replace
    std::vector<std::string> files;  // put back before each mutant (the target among them)
    // Runs with the mutant in place; reads it as the program does.
    std::function<Outcome(const std::string& mutant)> check;
};

// Skins, icon sets, smiley sets, bitmaps and sounds copied from the shipped
// assets, and the home screen's scheme, a dialog template and a plug-in
// record as their writers make them.
std::vector<FileKind> AssetKinds(const std::string& work, const std::string& assets);

// The user's files: settings, contact-list cache, the two files of a
// history, and the device registry, as the program writes them.
std::vector<FileKind> UserFileKinds(const std::string& work);

// Helpers of the kinds.
std::string ReadBytes(const std::string& path);
bool WriteBytes(const std::string& path, const std::string& bytes);
bool Exists(const std::string& path);
// Copies the files of a folder (not its subfolders) into another, made when
// missing.
void CopyFolder(const std::string& from, const std::string& to);
// Reports a lost file for the failure list and gives Outcome::Lost.
Outcome Lost(const std::string& why);

}  // namespace mutate
