#include "installer/xscreensaver_programs.h"

#include <cstring>

namespace {

constexpr const char* kSaverProgram = "Nocturo.scr";
constexpr const char* kSystemSaverProgram = "nocturo";

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// Joins lines again; `finalNewline` when the original text ended in one.
std::string JoinLines(const std::vector<std::string>& lines, bool finalNewline) {
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) {
        text += lines[i];
        if (i + 1 < lines.size() || finalNewline) {
            text += '\n';
        }
    }
    return text;
}

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return "";
    }
    const size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

bool ContinuesOnNextLine(const std::string& line) {
    std::string end = line;
    while (!end.empty() && end.back() == '\r') {
        end.pop_back();
    }
    return !end.empty() && end.back() == '\\';
}

// Where the value begins when the line starts the programs resource
// ("programs:", "*programs:" or "XScreenSaver.programs:"), else npos.
size_t ProgramsValueStart(const std::string& line) {
    const std::string trimmed = Trim(line);
    const size_t colon = trimmed.find(':');
    if (colon == std::string::npos) {
        return std::string::npos;
    }
    const std::string key = trimmed.substr(0, colon);
    if (key != "programs" && key != "*programs" && key != "XScreenSaver.programs" &&
        key != "XScreenSaver*programs") {
        return std::string::npos;
    }
    return line.find(':') + 1;
}

struct ProgramsBlock {
    size_t first = 0;  // line index of "programs:"
    size_t last = 0;   // line index of its last continued line
    bool found = false;
};

ProgramsBlock FindBlock(const std::vector<std::string>& lines) {
    ProgramsBlock block;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (ProgramsValueStart(lines[i]) != std::string::npos) {
            block.first = i;
            block.last = i;
            while (block.last + 1 < lines.size() && ContinuesOnNextLine(lines[block.last])) {
                ++block.last;
            }
            block.found = true;
            return block;
        }
    }
    return block;
}

// The entries of one line of the block (the key and the continuation cut off).
std::vector<std::string> LineEntries(const std::string& line, bool firstLine) {
    std::string value = line;
    if (firstLine) {
        value = value.substr(ProgramsValueStart(value));
    }
    while (!value.empty() && (value.back() == '\r')) {
        value.pop_back();
    }
    if (!value.empty() && value.back() == '\\') {
        value.pop_back();
    }
    std::vector<std::string> entries;
    size_t start = 0;
    while (start <= value.size()) {
        const size_t end = value.find("\\n", start);
        const std::string piece =
            Trim(value.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (!piece.empty()) {
            entries.push_back(piece);
        }
        if (end == std::string::npos) {
            break;
        }
        start = end + 2;
    }
    return entries;
}

XscreensaverEntry ParseEntry(const std::string& text) {
    XscreensaverEntry entry;
    entry.text = text;
    std::string rest = Trim(text);
    if (!rest.empty() && rest[0] == '-') {
        entry.enabled = false;
        rest = Trim(rest.substr(1));
    }
    // A visual name: one word ending in ':' ("GL:", "default-n:").
    const size_t blank = rest.find_first_of(" \t");
    const std::string first = rest.substr(0, blank);
    if (!first.empty() && first.back() == ':' && first.find('"') == std::string::npos) {
        rest = blank == std::string::npos ? "" : Trim(rest.substr(blank));
    }
    if (!rest.empty() && rest[0] == '"') {
        const size_t close = rest.find('"', 1);
        rest = close == std::string::npos ? "" : Trim(rest.substr(close + 1));
    }
    entry.command = rest;
    return entry;
}

// The per-user saver, or the system install's (/usr/libexec/xscreensaver/nocturo).
bool IsSaverEntry(const std::string& text) {
    const std::string name = XscreensaverProgramName(ParseEntry(text).command);
    return name == kSaverProgram || name == kSystemSaverProgram;
}

std::string ShellQuoted(const std::string& path) {
    if (path.find_first_not_of(
            "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789/._-+") ==
        std::string::npos) {
        return path;
    }
    std::string quoted = "'";
    for (char c : path) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

// Puts `entry` after the last line of the block.
void AppendToBlock(std::vector<std::string>* lines, const ProgramsBlock& block,
                   const std::string& entry) {
    std::string& last = (*lines)[block.last];
    while (!last.empty() && (last.back() == ' ' || last.back() == '\t' || last.back() == '\r')) {
        last.pop_back();
    }
    const bool emptyValue =
        block.first == block.last && Trim(last.substr(ProgramsValueStart(last))).empty();
    if (emptyValue) {
        last += "\t\\";
    } else if (last.size() >= 2 && last.compare(last.size() - 2, 2, "\\n") == 0) {
        last += "\\";
    } else {
        last += " \\n\\";
    }
    lines->insert(lines->begin() + static_cast<long>(block.last) + 1,
                  "\t\t\t\t" + entry + "\t\t\t    \\n");
}

}  // namespace

std::string XscreensaverProgramName(const std::string& command) {
    std::string word;
    const std::string text = Trim(command);
    if (!text.empty() && (text[0] == '\'' || text[0] == '"')) {
        const size_t close = text.find(text[0], 1);
        word = text.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    } else {
        word = text.substr(0, text.find_first_of(" \t"));
    }
    const size_t slash = word.find_last_of('/');
    return slash == std::string::npos ? word : word.substr(slash + 1);
}

std::vector<XscreensaverEntry> XscreensaverListPrograms(const std::string& fileText) {
    std::vector<XscreensaverEntry> entries;
    const std::vector<std::string> lines = SplitLines(fileText);
    const ProgramsBlock block = FindBlock(lines);
    if (!block.found) {
        return entries;
    }
    for (size_t i = block.first; i <= block.last; ++i) {
        for (const std::string& text : LineEntries(lines[i], i == block.first)) {
            entries.push_back(ParseEntry(text));
        }
    }
    return entries;
}

int XscreensaverHasPrograms(const std::string& fileText) {
    return FindBlock(SplitLines(fileText)).found ? 1 : 0;
}

std::string XscreensaverEntryFor(const std::string& saverPath) {
    return "GL: \"Nocturo 3D\" " + ShellQuoted(saverPath) + " s";
}

std::string XscreensaverSystemPrograms(const std::string& systemText) {
    const std::vector<std::string> lines = SplitLines(systemText);
    const ProgramsBlock block = FindBlock(lines);
    if (!block.found) {
        return "";
    }
    std::vector<std::string> copy(lines.begin() + static_cast<long>(block.first),
                                  lines.begin() + static_cast<long>(block.last) + 1);
    copy[0] = "programs:" + copy[0].substr(ProgramsValueStart(copy[0]));
    return JoinLines(copy, true);
}

std::string XscreensaverAddEntry(const std::string& fileText, const std::string& systemText,
                                 const std::string& entry, std::string* replaced) {
    replaced->clear();
    const bool finalNewline = fileText.empty() || fileText.back() == '\n';
    std::vector<std::string> lines = SplitLines(fileText);
    ProgramsBlock block = FindBlock(lines);
    if (block.found) {
        const std::string wanted = ParseEntry(entry).command;
        for (size_t i = block.first; i <= block.last; ++i) {
            for (const std::string& text : LineEntries(lines[i], i == block.first)) {
                if (!IsSaverEntry(text)) {
                    continue;
                }
                if (ParseEntry(text).command == wanted) {
                    return fileText;  // already listed: never a second entry
                }
                // Another Nocturo.scr (a system install): the user's own wins.
                const size_t at = lines[i].rfind(text);
                lines[i].replace(at, text.size(), entry);
                *replaced = text;
                return JoinLines(lines, finalNewline);
            }
        }
        AppendToBlock(&lines, block, entry);
        return JoinLines(lines, finalNewline);
    }
    // No list of the user's own: start from the system's, or from nothing.
    std::string programs = XscreensaverSystemPrograms(systemText);
    if (programs.empty()) {
        programs = "programs:\n";
    }
    std::vector<std::string> added = SplitLines(programs);
    AppendToBlock(&added, FindBlock(added), entry);
    std::string text = fileText;
    if (!text.empty() && text.back() != '\n') {
        text += '\n';
    }
    if (!text.empty()) {
        text += '\n';
    }
    return text + JoinLines(added, true);
}

std::string XscreensaverRemoveEntry(const std::string& fileText, const std::string& entry,
                                    const std::string& replaced) {
    const bool finalNewline = !fileText.empty() && fileText.back() == '\n';
    std::vector<std::string> lines = SplitLines(fileText);
    const ProgramsBlock block = FindBlock(lines);
    if (!block.found) {
        return fileText;
    }
    const std::string wanted = Trim(entry);
    for (size_t i = block.first; i <= block.last; ++i) {
        const std::vector<std::string> entries = LineEntries(lines[i], i == block.first);
        for (const std::string& text : entries) {
            if (text != wanted) {
                continue;
            }
            if (!replaced.empty()) {
                lines[i].replace(lines[i].rfind(text), text.size(), replaced);
                return JoinLines(lines, finalNewline);
            }
            if (entries.size() > 1 || i == block.first) {
                // Shares its line with others: take out only the entry.
                std::string& line = lines[i];
                const size_t at = line.rfind(text);
                size_t end = at + text.size();
                end = line.find_first_not_of(" \t", end);
                if (end != std::string::npos && line.compare(end, 2, "\\n") == 0) {
                    end += 2;
                } else if (end == std::string::npos) {
                    end = line.size();
                }
                line.erase(at, end - at);
                return JoinLines(lines, finalNewline);
            }
            const bool wasLast = i == block.last;
            lines.erase(lines.begin() + static_cast<long>(i));
            if (wasLast) {
                std::string& previous = lines[i - 1];
                if (!previous.empty() && previous.back() == '\\') {
                    previous.pop_back();
                    while (!previous.empty() &&
                           (previous.back() == '\t' || previous.back() == ' ') &&
                           ProgramsValueStart(previous) != std::string::npos &&
                           Trim(previous.substr(ProgramsValueStart(previous))).empty()) {
                        previous.pop_back();
                    }
                }
            }
            return JoinLines(lines, finalNewline);
        }
    }
    return fileText;
}
