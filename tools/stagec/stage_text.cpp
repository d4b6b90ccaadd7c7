#include "tools/stagec/stage_text.h"

#include "game/state/little_endian.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <optional>
#include <set>

namespace stagec {

namespace {

constexpr int32_t kStartCode = 100;
constexpr int32_t kSpawnerKind = 35;

struct NamedCode {
    const char* name;
    int32_t code;
};

// Block names and actor names (code 100 + kind) the text may use.
constexpr NamedCode kCodeNames[] = {
    {"empty", 0}, {"solid", 1}, {"breakable", 2}, {"cracked", 3}, {"start", 100},
    {"key", 107}, {"exit", 108},
    {"crawler", 111}, {"walker", 112}, {"chaser", 113}, {"fast-crawler", 114},
    {"slow-crawler", 115}, {"fast-walker", 116}, {"slow-walker", 117},
    {"flier", 118}, {"flier-2", 119}, {"fast-flier", 120}, {"fast-flier-2", 121},
    {"slow-flier", 122}, {"slow-flier-2", 123}, {"side-flier", 124},
    {"fast-side-flier", 125}, {"slow-side-flier", 126}, {"cannon-left", 127},
    {"cannon-right", 128}, {"cannon-shot", 129}, {"sleeper", 130},
    {"crashing-sleeper", 131}, {"fire-breather", 132}, {"flame", 133},
    {"fire-walker", 134}, {"spawner", 135}, {"walker-spawner", 136},
    {"fire-walker-spawner", 137}, {"fire-walker-spawner-left", 138},
    {"mixed-spawner", 139}, {"mixed-spawner-left", 140}, {"bonus", 141},
    {"bonus-key", 142}, {"points-100", 143}, {"points-200", 144},
    {"points-500", 145}, {"points-500-life", 146}, {"points-1000", 147},
    {"life", 148}, {"magic", 149},
};

struct DefaultSymbol {
    char symbol;
    int32_t code;
};

// The legend every stage starts with.
constexpr DefaultSymbol kDefaultLegend[] = {
    {'.', 0},   {'#', 1},   {'b', 2},   {'c', 3},   {'@', 100}, {'K', 107}, {'E', 108},
    {'B', 142}, {'H', 141}, {'1', 143}, {'2', 144}, {'5', 145}, {'6', 146}, {'$', 147},
    {'L', 148}, {'M', 149}, {'W', 112}, {'C', 113}, {'R', 111}, {'F', 118}, {'S', 124},
    {'<', 127}, {'>', 128}, {'Z', 130}, {'Y', 132}, {'X', 134}, {'P', 135},
};

// Characters the writer hands out for codes without a default symbol.
constexpr std::string_view kSpareSymbols =
    "adefghijklmnopqrstuvwxyzADGIJNOQTUV034789%&*+=!^~";

constexpr char kRawMark = '?';
constexpr char kCommentMark = ';';

std::optional<int32_t> codeOfName(std::string_view name) {
    for (const NamedCode& n : kCodeNames)
        if (name == n.name) return n.code;
    return std::nullopt;
}

const char* nameOfCode(int32_t code) {
    for (const NamedCode& n : kCodeNames)
        if (n.code == code) return n.name;
    return nullptr;
}

std::string codeText(int32_t code) {
    if (const char* name = nameOfCode(code)) return name;
    if (code > kStartCode && code <= kStartCode + 55) return "kind " + std::to_string(code - kStartCode);
    return std::to_string(code);
}

std::string kindText(int16_t kind) {
    if (kind == 0) return "restart";
    if (kind > 0 && kind <= 55)
        if (const char* name = nameOfCode(kStartCode + kind)) return name;
    return std::to_string(kind);
}

bool symbolAllowed(char c) {
    return c > ' ' && c < 127 && c != kCommentMark && c != kRawMark;
}

struct Token {
    std::string_view text;
    int column;  // 1-based
};

std::vector<Token> tokenize(std::string_view line) {
    std::vector<Token> tokens;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        if (i >= line.size()) break;
        size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
        tokens.push_back({line.substr(start, i - start), static_cast<int>(start) + 1});
    }
    return tokens;
}

std::string_view stripComment(std::string_view line) {
    size_t semicolon = line.find(kCommentMark);
    if (semicolon != std::string_view::npos) line = line.substr(0, semicolon);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\r'))
        line.remove_suffix(1);
    return line;
}

std::optional<int64_t> parseNumber(std::string_view text) {
    int64_t value = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (first != last && *first == '+') ++first;
    auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || end != last || first == last) return std::nullopt;
    return value;
}

struct Symbol {
    int32_t code = 0;
    std::string script;  // "spawner NAME": the cell gets this record
    Token where{};
};

struct GridRow {
    std::string_view text;
    int line;
    int column;
};

struct Grid {
    std::vector<GridRow> rows;
    int line = 0;
    bool present = false;
};

struct ScriptRecord {
    std::array<int16_t, kScriptValues> values{};
    int line = 0;
};

struct CellRef {
    std::string script;
    int column, row;
    int line, tokenColumn;
};

struct RawValue {
    int layer;  // 0 blocks, 1 hidden, 2 script
    int column, row, index;
    int64_t value;
    int line, tokenColumn;
};

class Parser {
public:
    Parser(std::string_view text, const std::string& fileName) : text_(text), file_(fileName) {
        for (const DefaultSymbol& d : kDefaultLegend) legend_[d.symbol] = Symbol{d.code, {}, {}};
    }

    ParseResult run() {
        splitLines();
        for (size_t i = 0; i < lines_.size();) i = statement(i);
        if (!blocks_.present) error(0, 0, "no 'blocks' grid");
        applyGrid(blocks_, 0);
        applyGrid(hidden_, 1);
        applyScripts();
        applyRawValues();
        return std::move(result_);
    }

private:
    void error(int line, int column, std::string message) {
        result_.errors.push_back({file_, line, column, std::move(message)});
    }

    void splitLines() {
        size_t start = 0;
        while (start <= text_.size()) {
            size_t end = text_.find('\n', start);
            if (end == std::string_view::npos) end = text_.size();
            lines_.push_back(text_.substr(start, end - start));
            if (end == text_.size()) break;
            start = end + 1;
        }
    }

    // One statement starting at line index i; the index after it.
    size_t statement(size_t i) {
        int lineNo = static_cast<int>(i) + 1;
        std::vector<Token> t = tokenize(stripComment(lines_[i]));
        if (t.empty()) return i + 1;
        std::string_view word = t[0].text;
        if (word == "legend") {
            legendLine(t, lineNo);
        } else if (word == "blocks" || word == "hidden") {
            Grid& grid = word == "blocks" ? blocks_ : hidden_;
            if (t.size() > 1) error(lineNo, t[1].column, "unexpected text after '" + std::string(word) + "'");
            if (grid.present) error(lineNo, t[0].column, "a second '" + std::string(word) + "' grid");
            return readGrid(i + 1, grid, lineNo);
        } else if (word == "script") {
            return readScript(i, t);
        } else if (word == "script-at") {
            scriptAt(t, lineNo);
        } else if (word == "value") {
            valueLine(t, lineNo);
        } else {
            error(lineNo, t[0].column, "unknown statement '" + std::string(word) + "'");
        }
        return i + 1;
    }

    void legendLine(const std::vector<Token>& t, int lineNo) {
        // legend X = CODE...
        if (t.size() < 4 || t[2].text != "=") {
            error(lineNo, t[0].column, "expected 'legend X = code'");
            return;
        }
        if (t[1].text.size() != 1 || !symbolAllowed(t[1].text[0])) {
            error(lineNo, t[1].column, "a legend symbol is one printable character other than ';' and '?'");
            return;
        }
        Symbol symbol;
        symbol.where = t[1];
        std::vector<Token> rest(t.begin() + 3, t.end());
        if (!codeExpression(rest, lineNo, symbol)) return;
        legend_[t[1].text[0]] = symbol;
    }

    bool codeExpression(const std::vector<Token>& t, int lineNo, Symbol& out) {
        std::string_view first = t[0].text;
        if (first == "kind" || first == "spawner") {
            if (t.size() != 2) {
                error(lineNo, t[0].column, "expected '" + std::string(first) + (first == "kind" ? " N'" : " NAME'"));
                return false;
            }
            if (first == "spawner") {
                out.code = kStartCode + kSpawnerKind;
                out.script = std::string(t[1].text);
                return true;
            }
            auto kind = parseNumber(t[1].text);
            if (!kind || *kind < 1 || *kind > 55) {
                error(lineNo, t[1].column, "an actor kind is a number from 1 to 55");
                return false;
            }
            out.code = static_cast<int32_t>(kStartCode + *kind);
            return true;
        }
        if (t.size() != 1) {
            error(lineNo, t[1].column, "unexpected text after the code");
            return false;
        }
        if (auto named = codeOfName(first)) {
            out.code = *named;
            return true;
        }
        auto number = parseNumber(first);
        if (!number) {
            error(lineNo, t[0].column, "unknown code '" + std::string(first) + "'");
            return false;
        }
        if (*number < INT32_MIN || *number > INT32_MAX) {
            error(lineNo, t[0].column, "code out of range");
            return false;
        }
        out.code = static_cast<int32_t>(*number);
        return true;
    }

    size_t readGrid(size_t i, Grid& grid, int headerLine) {
        grid.present = true;
        grid.line = headerLine;
        while (grid.rows.size() < kRows && i < lines_.size()) {
            std::string_view raw = stripComment(lines_[i]);
            size_t lead = raw.find_first_not_of(" \t");
            if (lead == std::string_view::npos) {
                ++i;
                continue;  // blank and comment lines may sit between rows
            }
            grid.rows.push_back({raw.substr(lead), static_cast<int>(i) + 1, static_cast<int>(lead) + 1});
            ++i;
        }
        if (grid.rows.size() < kRows)
            error(headerLine, 1, "the grid has " + std::to_string(grid.rows.size()) + " rows; it needs 15");
        return i;
    }

    size_t readScript(size_t i, const std::vector<Token>& header) {
        int headerLine = static_cast<int>(i) + 1;
        if (header.size() != 2) {
            error(headerLine, header[0].column, "expected 'script NAME'");
        }
        std::string name = header.size() > 1 ? std::string(header[1].text) : std::string();
        ScriptRecord record;
        record.line = headerLine;
        int entries = 0;
        bool closed = false;
        for (++i; i < lines_.size(); ++i) {
            int lineNo = static_cast<int>(i) + 1;
            std::vector<Token> t = tokenize(stripComment(lines_[i]));
            if (t.empty()) continue;
            std::string_view word = t[0].text;
            if (word == "end") {
                closed = true;
                ++i;
                break;
            }
            if (word == "interval" || word == "limit") {
                if (t.size() != 2) {
                    error(lineNo, t[0].column, "expected '" + std::string(word) + " N'");
                    continue;
                }
                if (auto v = shortValue(t[1], lineNo)) record.values[word == "interval" ? 10 : 11] = *v;
            } else if (word == "spawn") {
                if (entries == 10) {
                    error(lineNo, t[0].column, "a script holds at most 10 spawn entries");
                    continue;
                }
                spawnLine(t, lineNo, record, entries);
                ++entries;
            } else {
                error(lineNo, t[0].column, "unknown script line '" + std::string(word) + "'");
            }
        }
        if (!closed) error(headerLine, header[0].column, "script '" + name + "' has no 'end'");
        if (!name.empty()) {
            if (scripts_.count(name))
                error(headerLine, header[1].column, "a second script named '" + name + "'");
            else
                scripts_[name] = record;
        }
        return i;
    }

    std::optional<int16_t> shortValue(const Token& token, int lineNo) {
        auto v = parseNumber(token.text);
        if (!v || *v < INT16_MIN || *v > INT16_MAX) {
            error(lineNo, token.column, "expected a number from -32768 to 32767");
            return std::nullopt;
        }
        return static_cast<int16_t>(*v);
    }

    // spawn KIND [facing left|right|N] [lifetime N]
    void spawnLine(const std::vector<Token>& t, int lineNo, ScriptRecord& record, int entry) {
        if (t.size() < 2) {
            error(lineNo, t[0].column, "expected 'spawn KIND'");
            return;
        }
        size_t next = 2;
        int16_t kind = 0;
        std::string_view kindWord = t[1].text;
        if (kindWord == "restart") {
            kind = 0;
        } else if (kindWord == "kind") {
            if (t.size() < 3) {
                error(lineNo, t[1].column, "expected 'kind N'");
                return;
            }
            auto v = shortValue(t[2], lineNo);
            if (!v) return;
            kind = *v;
            next = 3;
        } else if (auto named = codeOfName(kindWord); named && *named > kStartCode) {
            kind = static_cast<int16_t>(*named - kStartCode);
        } else if (auto v = parseNumber(kindWord); v && *v >= INT16_MIN && *v <= INT16_MAX) {
            kind = static_cast<int16_t>(*v);
        } else {
            error(lineNo, t[1].column, "unknown kind '" + std::string(kindWord) + "'");
            return;
        }
        record.values[entry] = kind;
        while (next < t.size()) {
            std::string_view key = t[next].text;
            if (next + 1 >= t.size()) {
                error(lineNo, t[next].column, "'" + std::string(key) + "' needs a value");
                return;
            }
            const Token& value = t[next + 1];
            if (key == "facing") {
                if (value.text == "right") record.values[12 + entry] = 0;
                else if (value.text == "left") record.values[12 + entry] = 1;
                else if (auto v = shortValue(value, lineNo)) record.values[12 + entry] = *v;
            } else if (key == "lifetime") {
                if (auto v = shortValue(value, lineNo)) record.values[22 + entry] = *v;
            } else {
                error(lineNo, t[next].column, "expected 'facing' or 'lifetime', found '" + std::string(key) + "'");
                return;
            }
            next += 2;
        }
    }

    std::optional<int> cellNumber(const Token& token, int lineNo, int limit, const char* what) {
        auto v = parseNumber(token.text);
        if (!v || *v < 0 || *v >= limit) {
            error(lineNo, token.column, std::string(what) + " must be 0.." + std::to_string(limit - 1));
            return std::nullopt;
        }
        return static_cast<int>(*v);
    }

    void scriptAt(const std::vector<Token>& t, int lineNo) {
        if (t.size() != 4) {
            error(lineNo, t[0].column, "expected 'script-at NAME COLUMN ROW'");
            return;
        }
        auto column = cellNumber(t[2], lineNo, kColumns, "the column");
        auto row = cellNumber(t[3], lineNo, kRows, "the row");
        if (column && row) cellRefs_.push_back({std::string(t[1].text), *column, *row, lineNo, t[1].column});
    }

    void valueLine(const std::vector<Token>& t, int lineNo) {
        // value blocks|hidden C R = N   or   value script C R I = N
        if (t.size() < 2) {
            error(lineNo, t[0].column, "expected 'value blocks|hidden|script ...'");
            return;
        }
        std::string_view layer = t[1].text;
        int layerIndex = layer == "blocks" ? 0 : layer == "hidden" ? 1 : layer == "script" ? 2 : -1;
        if (layerIndex < 0) {
            error(lineNo, t[1].column, "expected 'blocks', 'hidden' or 'script'");
            return;
        }
        size_t wanted = layerIndex == 2 ? 7 : 6;
        if (t.size() != wanted || t[wanted - 2].text != "=") {
            error(lineNo, t[0].column, layerIndex == 2 ? "expected 'value script COLUMN ROW INDEX = N'"
                                                       : "expected 'value " + std::string(layer) + " COLUMN ROW = N'");
            return;
        }
        auto column = cellNumber(t[2], lineNo, kColumns, "the column");
        auto row = cellNumber(t[3], lineNo, kRows, "the row");
        std::optional<int> index = 0;
        if (layerIndex == 2) index = cellNumber(t[4], lineNo, kScriptValues, "the index");
        const Token& valueToken = t[wanted - 1];
        auto value = parseNumber(valueToken.text);
        int64_t low = layerIndex == 2 ? INT16_MIN : INT32_MIN;
        int64_t high = layerIndex == 2 ? INT16_MAX : INT32_MAX;
        if (!value || *value < low || *value > high) {
            error(lineNo, valueToken.column, "the value must be " + std::to_string(low) + ".." + std::to_string(high));
            return;
        }
        if (column && row && index)
            rawValues_.push_back({layerIndex, *column, *row, *index, *value, lineNo, t[0].column});
    }

    void applyGrid(const Grid& grid, int layer) {
        if (!grid.present || grid.rows.size() < kRows) return;
        const size_t width = grid.rows[0].text.size();
        auto& cells = layer == 0 ? result_.data.blocks : result_.data.hidden;
        for (int r = 0; r < kRows; ++r) {
            const GridRow& row = grid.rows[r];
            if (row.text.size() != width || (width != kVisibleColumns && width != kColumns)) {
                error(row.line, row.column,
                      "a grid row holds 20 or 40 characters, all rows alike; this one holds " +
                          std::to_string(row.text.size()));
                continue;
            }
            for (size_t c = 0; c < width; ++c) {
                char symbol = row.text[c];
                int cell = cellIndex(static_cast<int>(c), r);
                if (symbol == kRawMark) {
                    rawMarks_.insert({layer, cell});
                    continue;
                }
                auto found = legend_.find(symbol);
                if (found == legend_.end()) {
                    error(row.line, row.column + static_cast<int>(c),
                          std::string("'") + symbol + "' is not in the legend");
                    continue;
                }
                cells[cell] = found->second.code;
                if (layer == 0 && !found->second.script.empty())
                    cellRefs_.push_back({found->second.script, static_cast<int>(c), r, row.line,
                                         row.column + static_cast<int>(c)});
            }
        }
    }

    void applyScripts() {
        std::map<int, std::string> given;
        for (const CellRef& ref : cellRefs_) {
            auto found = scripts_.find(ref.script);
            if (found == scripts_.end()) {
                error(ref.line, ref.tokenColumn, "no script named '" + ref.script + "'");
                continue;
            }
            int cell = cellIndex(ref.column, ref.row);
            auto [it, fresh] = given.emplace(cell, ref.script);
            if (!fresh && it->second != ref.script) {
                error(ref.line, ref.tokenColumn,
                      "cell " + std::to_string(ref.column) + "," + std::to_string(ref.row) +
                          " already has the script '" + it->second + "'");
                continue;
            }
            std::copy(found->second.values.begin(), found->second.values.end(), result_.data.record(cell));
        }
    }

    void applyRawValues() {
        std::set<std::pair<int, int>> valued;
        for (const RawValue& v : rawValues_) {
            int cell = cellIndex(v.column, v.row);
            std::string where = std::to_string(v.column) + "," + std::to_string(v.row);
            if (v.layer == 2) {
                result_.data.record(cell)[v.index] = static_cast<int16_t>(v.value);
                continue;
            }
            if (!rawMarks_.count({v.layer, cell})) {
                error(v.line, v.tokenColumn, "cell " + where + " is not marked '?' in the " +
                                                 (v.layer == 0 ? "blocks" : "hidden") + " grid");
                continue;
            }
            if (!valued.insert({v.layer, cell}).second) {
                error(v.line, v.tokenColumn, "a second value for cell " + where);
                continue;
            }
            (v.layer == 0 ? result_.data.blocks : result_.data.hidden)[cell] = static_cast<int32_t>(v.value);
        }
        for (auto [layer, cell] : rawMarks_) {
            if (valued.count({layer, cell})) continue;
            const Grid& grid = layer == 0 ? blocks_ : hidden_;
            int row = cell % kRows;
            error(grid.rows[row].line, grid.rows[row].column + cell / kRows,
                  "'?' without a 'value " + std::string(layer == 0 ? "blocks" : "hidden") + "' line");
        }
    }

    std::string_view text_;
    std::string file_;
    std::vector<std::string_view> lines_;
    std::map<char, Symbol> legend_;
    std::map<std::string, ScriptRecord> scripts_;
    std::vector<CellRef> cellRefs_;
    std::vector<RawValue> rawValues_;
    std::set<std::pair<int, int>> rawMarks_;
    Grid blocks_, hidden_;
    ParseResult result_;
};

// ----- writing -----

bool wideLayer(const std::array<int32_t, kCells>& cells) {
    for (int i = kVisibleColumns * kRows; i < kCells; ++i)
        if (cells[i] != 0) return true;
    return false;
}

bool writableCode(int32_t code) {
    return (code >= 0 && code <= 3) || (code >= kStartCode && code <= kStartCode + 55);
}

class Writer {
public:
    explicit Writer(const StageData& data) : data_(data) {
        for (const DefaultSymbol& d : kDefaultLegend) symbolOf_[d.code] = d.symbol;
        for (char c : kSpareSymbols) spare_.push_back(c);
        for (int32_t code : data.blocks) want(code);
        for (int32_t code : data.hidden) want(code);
    }

    std::string text(const std::string& heading) {
        std::string out;
        out += "; " + heading + "\n";
        for (auto [code, symbol] : added_) out += std::string("legend ") + symbol + " = " + codeText(code) + "\n";
        out += "\nblocks\n";
        grid(out, data_.blocks);
        if (std::any_of(data_.hidden.begin(), data_.hidden.end(), [](int32_t v) { return v != 0; })) {
            out += "\nhidden\n";
            grid(out, data_.hidden);
        }
        scripts(out);
        raw(out, data_.blocks, "blocks");
        raw(out, data_.hidden, "hidden");
        return out;
    }

private:
    void want(int32_t code) {
        if (!writableCode(code) || symbolOf_.count(code)) return;
        if (next_ >= spare_.size()) return;  // written as '?' with a value line
        symbolOf_[code] = spare_[next_++];
        added_.emplace_back(code, symbolOf_[code]);
    }

    char symbol(int32_t code) const {
        auto found = symbolOf_.find(code);
        return writableCode(code) && found != symbolOf_.end() ? found->second : kRawMark;
    }

    void grid(std::string& out, const std::array<int32_t, kCells>& cells) {
        int width = wideLayer(cells) ? kColumns : kVisibleColumns;
        for (int r = 0; r < kRows; ++r) {
            for (int c = 0; c < width; ++c) out += symbol(cells[cellIndex(c, r)]);
            out += '\n';
        }
    }

    void raw(std::string& out, const std::array<int32_t, kCells>& cells, const char* layer) {
        for (int cell = 0; cell < kCells; ++cell) {
            if (symbol(cells[cell]) != kRawMark) continue;
            out += std::string("value ") + layer + " " + std::to_string(cell / kRows) + " " +
                   std::to_string(cell % kRows) + " = " + std::to_string(cells[cell]) + "\n";
        }
    }

    void scripts(std::string& out) {
        // One named record per distinct script, in the order first met.
        std::vector<std::array<int16_t, kScriptValues>> distinct;
        std::vector<std::pair<int, int>> cells;  // cell, script number
        for (int cell = 0; cell < kCells; ++cell) {
            const int16_t* r = data_.record(cell);
            if (std::all_of(r, r + kScriptValues, [](int16_t v) { return v == 0; })) continue;
            std::array<int16_t, kScriptValues> values;
            std::copy(r, r + kScriptValues, values.begin());
            auto found = std::find(distinct.begin(), distinct.end(), values);
            int number = static_cast<int>(found - distinct.begin());
            if (found == distinct.end()) distinct.push_back(values);
            cells.emplace_back(cell, number);
        }
        for (size_t n = 0; n < distinct.size(); ++n) {
            const auto& v = distinct[n];
            out += "\nscript s" + std::to_string(n + 1) + "\n";
            out += "  interval " + std::to_string(v[10]) + "\n";
            out += "  limit " + std::to_string(v[11]) + "\n";
            int last = -1;
            for (int e = 0; e < 10; ++e)
                if (v[e] != 0 || v[12 + e] != 0 || v[22 + e] != 0) last = e;
            for (int e = 0; e <= last; ++e) {
                out += "  spawn " + kindText(v[e]);
                if (v[12 + e] == 1) out += " facing left";
                else if (v[12 + e] != 0) out += " facing " + std::to_string(v[12 + e]);
                if (v[22 + e] != 0) out += " lifetime " + std::to_string(v[22 + e]);
                out += "\n";
            }
            out += "end\n";
        }
        if (!cells.empty()) out += "\n";
        for (auto [cell, number] : cells)
            out += "script-at s" + std::to_string(number + 1) + " " + std::to_string(cell / kRows) + " " +
                   std::to_string(cell % kRows) + "\n";
    }

    const StageData& data_;
    std::map<int32_t, char> symbolOf_;
    std::vector<std::pair<int32_t, char>> added_;
    std::vector<char> spare_;
    size_t next_ = 0;
};

void putLayer(std::vector<unsigned char>& out, const std::array<int32_t, kCells>& cells) {
    out.reserve(kLayerBytes);
    for (int32_t v : cells) putLe32(out, static_cast<uint32_t>(v));
}

void readLayer(const std::vector<unsigned char>& bytes, std::array<int32_t, kCells>& cells,
               const char* name, std::string* note) {
    size_t count = std::min(bytes.size(), kLayerBytes) / 4;
    for (size_t i = 0; i < count; ++i) cells[i] = static_cast<int32_t>(readLe32(bytes.data() + 4 * i));
    if (note && bytes.size() != kLayerBytes)
        *note += std::string(name) + " holds " + std::to_string(bytes.size()) + " bytes, not 2400; ";
}

}  // namespace

std::string Diagnostic::text() const {
    if (line == 0) return file + ": " + message;
    return file + ":" + std::to_string(line) + ":" + std::to_string(column) + ": " + message;
}

ParseResult parseStageText(std::string_view text, const std::string& fileName) {
    return Parser(text, fileName).run();
}

std::string writeStageText(const StageData& data, const std::string& heading) {
    return Writer(data).text(heading);
}

std::vector<unsigned char> blockFileBytes(const StageData& data) {
    std::vector<unsigned char> out;
    putLayer(out, data.blocks);
    return out;
}

std::vector<unsigned char> hiddenFileBytes(const StageData& data) {
    std::vector<unsigned char> out;
    putLayer(out, data.hidden);
    return out;
}

std::vector<unsigned char> scriptFileBytes(const StageData& data) {
    std::vector<unsigned char> out;
    out.reserve(kScriptBytes);
    for (int16_t v : data.scripts) putLe16(out, static_cast<uint16_t>(v));
    return out;
}

StageData stageFromBytes(const std::vector<unsigned char>& blocks, const std::vector<unsigned char>& hidden,
                         const std::vector<unsigned char>& scripts, std::string* note) {
    StageData data;
    readLayer(blocks, data.blocks, "the block file", note);
    readLayer(hidden, data.hidden, "the hidden-item file", note);
    size_t count = std::min(scripts.size(), kScriptBytes) / 2;
    for (size_t i = 0; i < count; ++i)
        data.scripts[i] = static_cast<int16_t>(readLe16(scripts.data() + 2 * i));
    if (note && scripts.size() != kScriptBytes)
        *note += "the cell-script file holds " + std::to_string(scripts.size()) + " bytes, not 38400; ";
    return data;
}

std::vector<std::string> checkStage(const StageData& data) {
    std::vector<std::string> problems;
    auto cellName = [](int cell) {
        return "cell " + std::to_string(cell / kRows) + "," + std::to_string(cell % kRows);
    };
    int starts = 0, placements = 0, keys = 0, exits = 0;
    for (int cell = 0; cell < kCells; ++cell) {
        int32_t code = data.blocks[cell];
        if (code == kStartCode) ++starts;
        if (code > kStartCode && code <= kStartCode + 55) ++placements;
        if (code == 107 || data.hidden[cell] == 107) ++keys;
        if (code == 108 || data.hidden[cell] == 108) ++exits;
        if (code == kStartCode + kSpawnerKind) {
            const int16_t* r = data.record(cell);
            if (std::none_of(r, r + 10, [](int16_t k) { return k == 0; }))
                problems.push_back("the spawner script of " + cellName(cell) + " has no restart (0) entry");
        }
    }
    if (starts == 0) problems.push_back("no player start");
    if (starts > 1) problems.push_back(std::to_string(starts) + " player starts; the last one wins");
    if (keys == 0) problems.push_back("no key");
    if (exits == 0) problems.push_back("no exit");
    if (placements > 100)
        problems.push_back(std::to_string(placements) + " placements; only 100 actors fit");
    // The field must be closed: the walls (columns 0 and 19) and the floor
    // (row 14) solid, or the player could leave the grid.
    std::vector<int> gaps;
    for (int r = 0; r < kRows; ++r) {
        gaps.push_back(cellIndex(0, r));
        gaps.push_back(cellIndex(kVisibleColumns - 1, r));
    }
    for (int c = 1; c < kVisibleColumns - 1; ++c) gaps.push_back(cellIndex(c, kRows - 1));
    std::sort(gaps.begin(), gaps.end());
    for (int cell : gaps)
        if (data.blocks[cell] != 1)
            problems.push_back("the field is not closed: " + cellName(cell) + " is not a solid block");
    return problems;
}

StageData placeholderStage() {
    StageData data;
    for (int r = 0; r < kRows; ++r) {
        data.blocks[cellIndex(0, r)] = 1;
        data.blocks[cellIndex(kVisibleColumns - 1, r)] = 1;
    }
    for (int c = 0; c < kVisibleColumns; ++c) data.blocks[cellIndex(c, kRows - 1)] = 1;
    data.blocks[cellIndex(2, 13)] = kStartCode;
    data.blocks[cellIndex(9, 13)] = 1;
    data.blocks[cellIndex(9, 12)] = 107;
    data.blocks[cellIndex(17, 13)] = 108;
    return data;
}

}  // namespace stagec
