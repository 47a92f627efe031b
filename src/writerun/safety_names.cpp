// Safety backup names: building, reading, listing, and which ones go.
#include "writerun/safety_names.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace zv {
namespace {

const std::string kPrefix = "Before ";
constexpr RunKind kKinds[] = {RunKind::Optimize, RunKind::Apply, RunKind::Restore, RunKind::Undo};

std::string Stem(RunKind kind, const LocalTime& t) {
    char when[32];
    std::snprintf(when, sizeof when, "%04d-%02d-%02d %02d.%02d.%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    return kPrefix + RunKindName(kind) + " " + when;
}

bool SameLetter(char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
}

bool EndsWithExtension(const std::string& name) {
    if (name.size() < kSafetyBackupExtension.size()) return false;
    const std::string tail = name.substr(name.size() - kSafetyBackupExtension.size());
    return std::equal(tail.begin(), tail.end(), kSafetyBackupExtension.begin(), SameLetter);
}

// Reads exactly `digits` decimal digits at `at`.
std::optional<int> Digits(const std::string& s, std::size_t at, std::size_t digits) {
    if (at + digits > s.size()) return std::nullopt;
    int n = 0;
    for (std::size_t i = at; i < at + digits; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(s[i]))) return std::nullopt;
        n = n * 10 + (s[i] - '0');
    }
    return n;
}

bool Newer(const SafetyBackupName& a, const SafetyBackupName& b) {
    if (a.taken != b.taken) return a.taken > b.taken;
    return a.sequence > b.sequence;
}

}  // namespace

std::string SafetyBackupFileName(RunKind kind, const LocalTime& taken, const std::vector<std::string>& folderEntries) {
    const std::string stem = Stem(kind, taken);
    auto inUse = [&](const std::string& name) {
        // The file system compares names without regard to case.
        return std::any_of(folderEntries.begin(), folderEntries.end(), [&](const std::string& e) {
            return e.size() == name.size() && std::equal(e.begin(), e.end(), name.begin(), SameLetter);
        });
    };
    std::string name = stem + kSafetyBackupExtension;
    for (int n = 2; inUse(name); ++n) name = stem + " (" + std::to_string(n) + ")" + kSafetyBackupExtension;
    return name;
}

std::optional<SafetyBackupName> ParseSafetyBackupName(const std::string& fileName) {
    if (!EndsWithExtension(fileName) || fileName.compare(0, kPrefix.size(), kPrefix) != 0) return std::nullopt;
    const std::string body = fileName.substr(0, fileName.size() - kSafetyBackupExtension.size());
    SafetyBackupName parsed;
    std::size_t at = kPrefix.size();
    bool known = false;
    for (RunKind kind : kKinds) {
        const std::string word = RunKindName(kind) + " ";
        if (body.compare(at, word.size(), word) == 0) {
            parsed.kind = kind;
            at += word.size();
            known = true;
            break;
        }
    }
    if (!known) return std::nullopt;
    // YYYY-MM-DD HH.MM.SS: 19 characters.
    const auto year = Digits(body, at, 4), month = Digits(body, at + 5, 2), day = Digits(body, at + 8, 2);
    const auto hour = Digits(body, at + 11, 2), minute = Digits(body, at + 14, 2), second = Digits(body, at + 17, 2);
    if (!year || !month || !day || !hour || !minute || !second || body[at + 4] != '-' || body[at + 7] != '-' ||
        body[at + 10] != ' ' || body[at + 13] != '.' || body[at + 16] != '.') {
        return std::nullopt;
    }
    parsed.taken = LocalTime{*year, *month, *day, *hour, *minute, *second};
    if (!IsValidTime(parsed.taken)) return std::nullopt;
    at += 19;
    if (at < body.size()) {
        // " (n)" with n from 2 on, written without leading zeros.
        if (body.size() - at < 4 || body.compare(at, 2, " (") != 0 || body.back() != ')' || body[at + 2] == '0') {
            return std::nullopt;
        }
        const std::string digits = body.substr(at + 2, body.size() - at - 3);
        if (digits.size() > 6) return std::nullopt;
        const auto n = Digits(digits, 0, digits.size());
        if (!n || *n < 2) return std::nullopt;
        parsed.sequence = *n;
    }
    return parsed;
}

std::string SafetyBackupShownName(const std::string& fileName) {
    return EndsWithExtension(fileName) ? fileName.substr(0, fileName.size() - kSafetyBackupExtension.size())
                                       : fileName;
}

std::vector<std::string> SafetyBackupList(const std::vector<std::string>& folderEntries) {
    std::vector<std::pair<SafetyBackupName, std::string>> found;
    for (const auto& e : folderEntries) {
        if (auto parsed = ParseSafetyBackupName(e)) found.emplace_back(*parsed, e);
    }
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return Newer(a.first, b.first); });
    std::vector<std::string> names;
    for (auto& f : found) names.push_back(std::move(f.second));
    return names;
}

std::vector<std::string> SafetyBackupsToDelete(const std::vector<std::string>& folderEntries,
                                               const std::vector<std::string>& alsoKeep, std::size_t kept) {
    std::vector<std::string> doomed;
    const auto newestFirst = SafetyBackupList(folderEntries);
    for (std::size_t i = kept; i < newestFirst.size(); ++i) {
        if (std::find(alsoKeep.begin(), alsoKeep.end(), newestFirst[i]) == alsoKeep.end()) {
            doomed.push_back(newestFirst[i]);
        }
    }
    return doomed;
}

std::string SafetyBackupTemporaryName(const std::string& fileName) { return fileName + ".new"; }

}  // namespace zv
