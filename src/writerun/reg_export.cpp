// Registry file text: the REGEDIT4 signature, comment lines, then one section per key in the order
// the run first touches it.
#include "writerun/reg_export.h"

#include <cstdio>
#include <vector>

namespace zv {

namespace {

const char kEol[] = "\r\n";

// Regedit writes hex data in lines of at most 80 characters, continued with a backslash.
constexpr std::size_t kLineWidth = 80;

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string NameField(const std::string& name) { return name.empty() ? "@" : Quoted(name); }

// A REG_SZ that reads back the same from a quoted string: one terminating NUL (or none), no other
// NUL and no line break inside.
bool PlainText(const std::vector<std::uint8_t>& data, std::string* text) {
    std::size_t size = data.size();
    if (size > 0 && data[size - 1] == 0) --size;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0 || data[i] == '\r' || data[i] == '\n') return false;
    }
    text->assign(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(size));
    return true;
}

std::string HexLine(const std::string& head, const std::vector<std::uint8_t>& data) {
    std::string out = head;
    std::size_t column = head.size();
    char byte[4];
    for (std::size_t i = 0; i < data.size(); ++i) {
        std::snprintf(byte, sizeof byte, "%02x", data[i]);
        const bool last = i + 1 == data.size();
        // Room for "xx," and, where more follows, the continuation backslash.
        if (column + 3 + (last ? 0 : 1) > kLineWidth) {
            out += std::string("\\") + kEol + "  ";
            column = 2;
        }
        out += byte;
        column += 2;
        if (!last) {
            out += ',';
            ++column;
        }
    }
    return out;
}

std::string ValueLine(const std::string& name, const RegValue& value) {
    const std::string head = NameField(name) + "=";
    std::string text;
    if (value.type == kRegSz && PlainText(value.data, &text)) return head + Quoted(text);
    if (value.type == kRegDword && value.data.size() == 4) {
        const unsigned long n = value.data[0] | value.data[1] << 8 | value.data[2] << 16 |
                                static_cast<unsigned long>(value.data[3]) << 24;
        char dword[16];
        std::snprintf(dword, sizeof dword, "dword:%08lx", n);
        return head + dword;
    }
    if (value.type == kRegBinary) return HexLine(head + "hex:", value.data);
    // REG_EXPAND_SZ is hex(2), REG_MULTI_SZ hex(7), with their bytes as stored (ANSI in REGEDIT4).
    return HexLine(head + "hex(" + std::to_string(value.type) + "):", value.data);
}

std::string Comment(const std::string& label, const std::string& text) {
    return "; " + label + ": " + (text.empty() ? "-" : text) + kEol;
}

}  // namespace

std::string RegFileText(const ChangeSet& changes, const RegExportFacts& facts) {
    // The signature must be the first line, or the Registry Editor refuses the file.
    std::string out = std::string("REGEDIT4") + kEol;
    out += std::string("; Zarvelo ") + facts.programVersion +
           (facts.allValues ? ", all values the run writes" : ", registry changes") + kEol;
    out += Comment("Family", FamilyName(facts.family));
    // The NT family keeps these values once for all adapters; Windows Defaults has no option.
    out += Comment("Adapter", IsNtFamily(facts.family) ? std::string("all adapters alike") : facts.adapter);
    out += Comment("Connection", facts.connection);
    out += Comment("Option", facts.option.empty() ? std::string("none") : facts.option);
    out += Comment("Date", DateTimeText(facts.date));
    out += Comment(facts.allValues ? "Values" : "Changes", ChangeSummary(changes));
    if (!IsNtFamily(facts.family) && !facts.adapterKeys.empty()) {
        // 9x numbers an adapter's keys in the order of installation: other computers may differ.
        out += std::string("; The adapter values name this computer's adapter and binding keys; another") + kEol;
        out += std::string("; computer may number its adapters otherwise. Made for these adapters:") + kEol;
        for (const std::string& keys : facts.adapterKeys) out += ";   " + keys + kEol;
    }
    if (changes.DeletedCount() > 0) {
        out += std::string("; Lines ending in =- delete a value. Only the Registry Editor of Windows 2000 and") + kEol;
        out += std::string("; XP deletes values from a file; on Windows 95, 98, Me and NT 4.0 it leaves them,") + kEol;
        out += std::string("; so there run zarvelo.exe /optimize with the same choice instead.") + kEol;
    }

    // One section per key, in the order the run first touches it; created keys stand alone.
    std::vector<std::string> order;
    std::vector<std::string> bodies;
    auto section = [&](const ValueLocation& where) -> std::string& {
        const std::string key = KeyText(where);
        for (std::size_t i = 0; i < order.size(); ++i) {
            if (order[i] == key) return bodies[i];
        }
        order.push_back(key);
        bodies.emplace_back();
        return bodies.back();
    };
    for (const ValueLocation& key : changes.createdKeys) section(key);
    for (const ValueChange& row : changes.rows) {
        std::string& body = section(row.where);
        body += (row.after ? ValueLine(row.where.name, *row.after) : NameField(row.where.name) + "=-") + kEol;
    }
    for (std::size_t i = 0; i < order.size(); ++i) out += kEol + ("[" + order[i] + "]") + kEol + bodies[i];
    return out + kEol;
}

}  // namespace zv
