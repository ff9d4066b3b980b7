// A title of the author's own for the fake runtime, from the description in
// a title folder (FOLDER\title.ini). Sections and keys, one per line, `;`
// starting a comment, each key at most once in a section; lines end with
// CR LF, LF or CR. The file is text in the ANSI code page (UTF-16 and
// binary data are refused, a UTF-8 byte order mark is skipped); paths are
// relative to the folder:
//
//   [title]               name = Quiz course     (the title node's name)
//                         path = quiz.ovx        (GetTitleName gives "quiz")
//                         location = quiz.ovx    (the title's location; the path by default)
//                         frame = Question 1     (the current frame's name)
//                         module = quizmod       (the module node's name)
//                         parameters = -fast, -lang=en
//                         media = cdrom, sound   (what IsMediaAvailable finds)
//   [thread NAME]         frame = Question 1     running = yes | no
//   [object NAME]         rect = left, top, right, bottom
//                         visible, enabled, focus = yes | no    state, zorder = NUMBER
//   [storage NAME]        location = media   (a folder)
//   [resource NAME]       file = menus\main.mnu  (what LoadMenuFromFile reads)
#pragma once

#include <string>
#include <vector>

namespace fake {
class Runtime;
}

namespace hostkit {

// Gives `title` what FOLDER\title.ini describes. Returns an empty text, or
// what is wrong: a missing folder or description, or "FILE:LINE: problem".
// `warnings` gets what is taken but likely wrong ("FILE:LINE: warning: ...":
// a path that leaves the folder with "..").
std::string LoadTitleFolder(fake::Runtime& title, const std::string& folder,
                            std::vector<std::string>* warnings = nullptr);

// Gives `title` what `description` says, written as title.ini is (paths as
// given). Returns an empty text, or "LINE: problem"; warnings "LINE: warning: ...".
std::string DescribeTitle(fake::Runtime& title, const std::string& description,
                          std::vector<std::string>* warnings = nullptr);

}  // namespace hostkit
