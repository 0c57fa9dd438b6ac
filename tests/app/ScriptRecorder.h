#pragma once
#include <string>
#include <vector>

#include "WorkingFolder.h"

namespace apptest {

// Makes sample scripts of a game folder note what they hear in the folder's events.log, a line
// each as they run: every command their HandleCommand gets as "script,command,first,second",
// and for the scripts in showingTexts every text they show (SetText, SetTextString) as
// "text,name,text". False, with the script named in error, when one has no HandleCommand.
bool RecordScripts(const WorkingFolder& folder, const std::vector<std::string>& scripts,
                   const std::vector<std::string>& showingTexts, std::string& error);

// The lines of the folder's events.log so far.
std::vector<std::string> RecordedLines(const WorkingFolder& folder);

}  // namespace apptest
