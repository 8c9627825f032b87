// Reading and running a query of the filter language (see Query.h).

#include "db/query/Query.h"

#include <algorithm>
#include <cctype>
#include <limits>

#include "db/query/FoldedText.h"
#include "db/query/RecordAccess.h"
#include "db/rules/Win1252.h"

namespace db {

namespace {

enum class Op : std::uint8_t { Eq, Lt, Le, Gt, Ge, Between, In, Contains, StartsWith, IsNone };
// How a condition's values compare: as numbers, as text, or (references
// given names) through the set of records whose name matches.
enum class Compare : std::uint8_t { Number, Text, RefName };

struct Condition {
    Column column;
    Op op = Op::Eq;
    bool negate = false;
    Compare compare = Compare::Number;
    std::vector<std::int64_t> numbers;  // operands (between: low, high)
    std::vector<std::string> texts;     // folded Windows-1252 operands
};

struct Node {
    enum class Kind : std::uint8_t { Cond, And, Or, Not } kind = Kind::Cond;
    std::size_t cond = 0;
    std::vector<std::size_t> children;
};

constexpr int kDepthLimit = 200;

// ---- Tokens ------------------------------------------------------------

struct Token {
    enum class Kind { End, Word, Number, Text, Symbol } kind = Kind::End;
    std::size_t pos = 0;
    std::string text;  // a word, a symbol, or the text of a quoted literal (UTF-8)
    std::int64_t number = 0;
};

class Lexer {
public:
    explicit Lexer(std::string_view s) : s_(s) {}

    Token next()
    {
        while (i_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[i_]))) ++i_;
        Token t;
        t.pos = i_;
        if (i_ >= s_.size()) return t;
        const char c = s_[i_];
        if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            t.kind = Token::Kind::Word;
            while (i_ < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[i_])) || s_[i_] == '_'))
                ++i_;
            // An element of a list belongs to the word: PlayerIds[3].
            if (i_ < s_.size() && s_[i_] == '[') {
                const std::size_t close = s_.find(']', i_);
                i_ = close == std::string_view::npos ? s_.size() : close + 1;
            }
            t.text = std::string(s_.substr(t.pos, i_ - t.pos));
            return t;
        }
        if (std::isdigit(static_cast<unsigned char>(c)) ||
            (c == '-' && i_ + 1 < s_.size() && std::isdigit(static_cast<unsigned char>(s_[i_ + 1])))) {
            t.kind = Token::Kind::Number;
            const bool negative = c == '-';
            if (negative) ++i_;
            std::uint64_t v = 0;
            const std::uint64_t limit = negative ? std::uint64_t{1} << 63 : (std::uint64_t{1} << 63) - 1;
            while (i_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[i_]))) {
                const auto d = static_cast<std::uint64_t>(s_[i_] - '0');
                if (v > (limit - d) / 10) throw QueryError(t.pos, "expected a smaller number");
                v = v * 10 + d;
                ++i_;
            }
            if (i_ < s_.size() && (std::isalpha(static_cast<unsigned char>(s_[i_])) || s_[i_] == '_'))
                throw QueryError(i_, "expected a space or an operator after the number");
            t.number = negative ? static_cast<std::int64_t>(0 - v) : static_cast<std::int64_t>(v);
            return t;
        }
        if (c == '"') {
            t.kind = Token::Kind::Text;
            ++i_;
            for (;;) {
                if (i_ >= s_.size()) throw QueryError(t.pos, "expected a closing '\"' for this text");
                if (s_[i_] == '"') {
                    if (i_ + 1 < s_.size() && s_[i_ + 1] == '"') {  // "" stands for one quote
                        t.text += '"';
                        i_ += 2;
                        continue;
                    }
                    ++i_;
                    break;
                }
                t.text += s_[i_++];
            }
            return t;
        }
        t.kind = Token::Kind::Symbol;
        static constexpr std::string_view kTwo[] = {"<>", "<=", ">=", "!="};
        for (std::string_view two : kTwo)
            if (s_.substr(i_, 2) == two) {
                t.text = std::string(two);
                i_ += 2;
                return t;
            }
        if (std::string_view("=<>(),").find(c) == std::string_view::npos)
            throw QueryError(i_, "expected a field, a value or an operator, not '" + std::string(1, c) + "'");
        t.text = std::string(1, c);
        ++i_;
        return t;
    }

private:
    std::string_view s_;
    std::size_t i_ = 0;
};

bool isWord(const Token& t, std::string_view w)
{
    if (t.kind != Token::Kind::Word || t.text.size() != w.size()) return false;
    for (std::size_t i = 0; i < w.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(t.text[i])) != w[i]) return false;
    return true;
}

bool isSymbol(const Token& t, std::string_view s)
{
    return t.kind == Token::Kind::Symbol && t.text == s;
}

const char* const kOperators =
    "an operator (=, <>, <, <=, >, >=, between, in, contains, starts with, is none)";
const char* const kValue = "a value (a number or text in double quotes)";

}  // namespace

struct Query::Parsed {
    TableId table = TableId::Staff;
    std::vector<Condition> conditions;
    std::vector<Node> nodes;
    std::optional<std::size_t> root;
};

namespace {

class Parser {
public:
    Parser(Query::Parsed& out, std::string_view text) : out_(out), lex_(text) { advance(); }

    void parseAll()
    {
        if (tok_.kind == Token::Kind::End) return;
        out_.root = orExpr(0);
        if (tok_.kind != Token::Kind::End) {
            if (isSymbol(tok_, ")"))
                throw QueryError(tok_.pos, "expected the end of the query; this ')' opens nothing");
            throw QueryError(tok_.pos, "expected 'and', 'or' or the end of the query");
        }
    }

private:
    void advance() { tok_ = lex_.next(); }

    std::size_t add(Node n)
    {
        out_.nodes.push_back(std::move(n));
        return out_.nodes.size() - 1;
    }

    // a or b or ...: one node with every operand, so that long chains never
    // make deep trees.
    std::size_t chain(int depth, Node::Kind kind, std::string_view word)
    {
        const std::size_t first =
            kind == Node::Kind::Or ? chain(depth, Node::Kind::And, "and") : unary(depth);
        if (!isWord(tok_, word)) return first;
        Node n;
        n.kind = kind;
        n.children.push_back(first);
        while (isWord(tok_, word)) {
            advance();
            n.children.push_back(kind == Node::Kind::Or ? chain(depth, Node::Kind::And, "and")
                                                        : unary(depth));
        }
        return add(std::move(n));
    }
    std::size_t orExpr(int depth) { return chain(depth, Node::Kind::Or, "or"); }

    std::size_t unary(int depth)
    {
        if (depth > kDepthLimit)
            throw QueryError(tok_.pos, "expected fewer parentheses and nots inside one another");
        if (isWord(tok_, "not")) {
            advance();
            Node n;
            n.kind = Node::Kind::Not;
            n.children.push_back(unary(depth + 1));
            return add(std::move(n));
        }
        if (isSymbol(tok_, "(")) {
            const std::size_t open = tok_.pos;
            advance();
            if (isSymbol(tok_, ")"))
                throw QueryError(tok_.pos, "expected a condition inside the parentheses");
            const std::size_t inner = orExpr(depth + 1);
            if (!isSymbol(tok_, ")"))
                throw QueryError(tok_.pos,
                                 "expected ')' to close the '(' at position " + std::to_string(open + 1));
            advance();
            return inner;
        }
        Node n;
        n.kind = Node::Kind::Cond;
        n.cond = condition();
        return add(std::move(n));
    }

    std::size_t condition()
    {
        if (tok_.kind != Token::Kind::Word || isWord(tok_, "and") || isWord(tok_, "or"))
            throw QueryError(tok_.pos, "expected a field name");
        Condition c;
        const std::size_t fieldPos = tok_.pos;
        c.column = resolveColumn(out_.table, tok_.text, fieldPos);
        advance();

        const std::size_t opPos = tok_.pos;
        if (isWord(tok_, "is")) {
            advance();
            if (isWord(tok_, "not")) {
                c.negate = true;
                advance();
            }
            if (!isWord(tok_, "none")) throw QueryError(tok_.pos, "expected 'none' after 'is'");
            advance();
            c.op = Op::IsNone;
            checkNone(c, opPos);
            return push(std::move(c));
        }
        if (isWord(tok_, "not")) {
            c.negate = true;
            advance();
            if (!isWord(tok_, "between") && !isWord(tok_, "in") && !isWord(tok_, "contains") &&
                !isWord(tok_, "starts"))
                throw QueryError(tok_.pos, "expected between, in, contains or starts with after 'not'");
        }
        std::vector<Token> values;
        if (isWord(tok_, "between")) {
            c.op = Op::Between;
            advance();
            values.push_back(value());
            if (!isWord(tok_, "and"))
                throw QueryError(tok_.pos, "expected 'and' and the upper bound of between");
            advance();
            values.push_back(value());
        } else if (isWord(tok_, "in")) {
            c.op = Op::In;
            advance();
            if (!isSymbol(tok_, "("))
                throw QueryError(tok_.pos, "expected '(' and a list of values after 'in'");
            advance();
            values.push_back(value());
            while (isSymbol(tok_, ",")) {
                advance();
                values.push_back(value());
            }
            if (!isSymbol(tok_, ")")) throw QueryError(tok_.pos, "expected ',' or ')' in the list of values");
            advance();
        } else if (isWord(tok_, "contains") || isWord(tok_, "starts")) {
            c.op = isWord(tok_, "contains") ? Op::Contains : Op::StartsWith;
            advance();
            if (c.op == Op::StartsWith) {
                if (!isWord(tok_, "with")) throw QueryError(tok_.pos, "expected 'with' after 'starts'");
                advance();
            }
            if (tok_.kind != Token::Kind::Text) throw QueryError(tok_.pos, "expected text in double quotes");
            values.push_back(value());
        } else if (tok_.kind == Token::Kind::Symbol && tok_.text != "(" && tok_.text != ")" &&
                   tok_.text != ",") {
            const std::string s = tok_.text;
            c.op = s == "<" ? Op::Lt : s == "<=" ? Op::Le : s == ">" ? Op::Gt : s == ">=" ? Op::Ge : Op::Eq;
            c.negate = s == "<>" || s == "!=";
            advance();
            values.push_back(value());
        } else {
            throw QueryError(tok_.pos, std::string("expected ") + kOperators);
        }
        bind(c, values, opPos);
        return push(std::move(c));
    }

    Token value()
    {
        if (tok_.kind != Token::Kind::Number && tok_.kind != Token::Kind::Text)
            throw QueryError(tok_.pos, std::string("expected ") + kValue);
        Token t = tok_;
        advance();
        return t;
    }

    std::size_t push(Condition c)
    {
        out_.conditions.push_back(std::move(c));
        return out_.conditions.size() - 1;
    }

    static bool isReference(const Column& col)
    {
        return col.source == Column::Source::Field && col.field->target != TableId::Count &&
               col.field->kind != FieldKind::Bytes;
    }

    void checkNone(const Condition& c, std::size_t pos)
    {
        if (!isReference(c.column))
            throw QueryError(
                pos, c.column.name + " is not a reference; 'is none' needs one (NationId, Club, ...)");
    }

    // Turns the literal values into operands of the column's kind.
    void bind(Condition& c, const std::vector<Token>& values, std::size_t opPos)
    {
        const Column& col = c.column;
        const FieldKind kind = col.source == Column::Source::Field ? col.field->kind : FieldKind::Number;
        const bool textual = col.source == Column::Source::Name || kind == FieldKind::Text;
        const bool hasText = std::any_of(values.begin(), values.end(),
                                         [](const Token& t) { return t.kind == Token::Kind::Text; });
        const bool ordering = c.op != Op::Eq && c.op != Op::In;

        if (kind == FieldKind::Bytes)
            throw QueryError(opPos, col.name + " holds raw bytes that no query reads");
        if (c.op == Op::Contains || c.op == Op::StartsWith) {
            if (!textual && !(isReference(col) && kind == FieldKind::Reference))
                throw QueryError(opPos, "expected = or another comparison: " + col.name +
                                            " is not text and names no record");
        }
        if (textual) {
            c.compare = Compare::Text;
            for (const Token& t : values) {
                if (t.kind != Token::Kind::Text)
                    throw QueryError(t.pos, "expected text in double quotes: " + col.name + " is text");
                c.texts.push_back(foldText(utf8ToWin1252(t.text)));
            }
            if (c.op == Op::Between && compareFolded(c.texts[0], c.texts[1]) > 0)
                std::swap(c.texts[0], c.texts[1]);
            return;
        }
        if (kind == FieldKind::Reference && hasText) {
            if (ordering && c.op != Op::Contains && c.op != Op::StartsWith)
                throw QueryError(opPos,
                                 "expected =, <>, in, contains or starts with: a reference compares "
                                 "with a name only by those");
            c.compare = Compare::RefName;
            for (const Token& t : values) {
                if (t.kind == Token::Kind::Text)
                    c.texts.push_back(foldText(utf8ToWin1252(t.text)));
                else
                    c.numbers.push_back(t.number);
            }
            return;
        }
        c.compare = Compare::Number;
        for (const Token& t : values) c.numbers.push_back(number(col, kind, t));
        if (c.op == Op::Between && c.numbers[0] > c.numbers[1]) std::swap(c.numbers[0], c.numbers[1]);
    }

    static std::int64_t number(const Column& col, FieldKind kind, const Token& t)
    {
        if (kind == FieldKind::Date) {
            const auto d = t.kind == Token::Kind::Text ? parseQueryDate(t.text) : std::nullopt;
            if (!d)
                throw QueryError(t.pos,
                                 "expected a date in double quotes, as \"31/12/1980\" or \"1980-12-31\"");
            return static_cast<std::int64_t>(d->year) * 65536 + d->dayOfYear;
        }
        if (t.kind == Token::Kind::Number) return t.number;
        const std::string folded = foldText(utf8ToWin1252(t.text));
        if (kind == FieldKind::Flag) {
            if (folded == "YES") return 1;
            if (folded == "NO") return 0;
            throw QueryError(t.pos, "expected Yes, No, 1 or 0: " + col.name + " is a flag");
        }
        if (kind == FieldKind::Code) {
            for (std::size_t k = 0; k < col.field->captions.size(); ++k)
                if (!col.field->captions[k].empty() && foldText(col.field->captions[k]) == folded)
                    return static_cast<std::int64_t>(k);
            std::string list;
            for (std::string_view cap : col.field->captions)
                if (!cap.empty() && cap.front() != '<') list += (list.empty() ? "" : ", ") + std::string(cap);
            throw QueryError(t.pos, "expected a code or one of the captions of " + col.name + ": " + list);
        }
        throw QueryError(t.pos, "expected a number: " + col.name + " is a number");
    }

    Query::Parsed& out_;
    Lexer lex_;
    Token tok_;
};

// ---- Running -------------------------------------------------------------

// What a condition needs from the database, made once per run.
struct Prepared {
    std::vector<std::uint8_t> names;  // RefName: target records whose name matches
    bool noneMatches = false;         // RefName: a reference that names nothing (its name is "")
};

bool testText(const Condition& c, std::string_view raw)
{
    switch (c.op) {
        case Op::Eq:
        case Op::In:
            for (const std::string& t : c.texts)
                if (foldedEquals(raw, t)) return true;
            return false;
        case Op::Lt:
            return foldedCompare(raw, c.texts[0]) < 0;
        case Op::Le:
            return foldedCompare(raw, c.texts[0]) <= 0;
        case Op::Gt:
            return foldedCompare(raw, c.texts[0]) > 0;
        case Op::Ge:
            return foldedCompare(raw, c.texts[0]) >= 0;
        case Op::Between:
            return foldedCompare(raw, c.texts[0]) >= 0 && foldedCompare(raw, c.texts[1]) <= 0;
        case Op::Contains:
            return foldedContains(raw, c.texts[0]);
        case Op::StartsWith:
            return foldedStartsWith(raw, c.texts[0]);
        case Op::IsNone:
            break;
    }
    return false;
}

bool testNumber(const Condition& c, std::int64_t v)
{
    switch (c.op) {
        case Op::Eq:
        case Op::In:
            for (std::int64_t n : c.numbers)
                if (v == n) return true;
            return false;
        case Op::Lt:
            return v < c.numbers[0];
        case Op::Le:
            return v <= c.numbers[0];
        case Op::Gt:
            return v > c.numbers[0];
        case Op::Ge:
            return v >= c.numbers[0];
        case Op::Between:
            return v >= c.numbers[0] && v <= c.numbers[1];
        default:
            break;
    }
    return false;
}

class Runner {
public:
    Runner(const Query::Parsed& q, const Database& d, QueryDate today) : q_(q), access_(d, q.table, today)
    {
        prepared_.resize(q.conditions.size());
        for (std::size_t k = 0; k < q.conditions.size(); ++k) {
            const Condition& c = q.conditions[k];
            if (c.compare != Compare::RefName) continue;
            Prepared& p = prepared_[k];
            const TableId target = c.column.field->target;
            const std::size_t n = tableSize(d, target);
            p.names.assign(n, 0);
            std::string scratch;
            for (std::size_t id = 0; id < n; ++id)
                p.names[id] = !c.texts.empty() && testText(c, access_.targetName(target, id, scratch));
            p.noneMatches = !c.texts.empty() && testText(c, "");
        }
    }

    std::vector<std::int32_t> run() const
    {
        std::vector<std::int32_t> found;
        const std::size_t n = access_.size();
        for (std::size_t i = 0; i < n; ++i)
            if (!q_.root || node(*q_.root, i)) found.push_back(static_cast<std::int32_t>(i));
        return found;
    }

private:
    bool node(std::size_t k, std::size_t i) const
    {
        const Node& n = q_.nodes[k];
        switch (n.kind) {
            case Node::Kind::Cond:
                return condition(n.cond, i);
            case Node::Kind::Not:
                return !node(n.children[0], i);
            case Node::Kind::And:
                for (std::size_t c : n.children)
                    if (!node(c, i)) return false;
                return true;
            case Node::Kind::Or:
                for (std::size_t c : n.children)
                    if (node(c, i)) return true;
                return false;
        }
        return false;
    }

    bool condition(std::size_t k, std::size_t i) const { return q_.conditions[k].negate != holds(k, i); }

    // The condition without its negation: for a list, any element.
    bool holds(std::size_t k, std::size_t i) const
    {
        const Condition& c = q_.conditions[k];
        const Column& col = c.column;
        switch (col.source) {
            case Column::Source::Id:
                return testNumber(c, static_cast<std::int64_t>(i));
            case Column::Source::Name:
                return testText(c, access_.name(i));
            case Column::Source::Age: {
                const auto age = access_.age(col, i);
                return age && testNumber(c, *age);
            }
            case Column::Source::Field:
                break;
        }
        const std::uint8_t* p = access_.source(col, i);
        if (!p) return c.op == Op::IsNone;
        const FieldInfo& f = *col.field;
        const int first = col.element >= 0 ? col.element : 0;
        const int last = col.element >= 0 ? col.element : f.count - 1;
        for (int e = first; e <= last; ++e) {
            bool ok = false;
            switch (c.compare) {
                case Compare::Text:
                    ok = testText(c, RecordAccess::text(f, p));
                    break;
                case Compare::Number:
                    if (c.op == Op::IsNone) {
                        const std::int64_t v = RecordAccess::number(f, e, p);
                        ok = !isValidRef(v, tableSize(access_.database(), f.target));
                    } else {
                        ok = testNumber(c, RecordAccess::number(f, e, p));
                    }
                    break;
                case Compare::RefName: {
                    const std::int64_t v = RecordAccess::number(f, e, p);
                    const Prepared& pr = prepared_[k];
                    ok = isValidRef(v, pr.names.size()) ? pr.names[static_cast<std::size_t>(v)] != 0
                                                        : pr.noneMatches;
                    ok = ok || std::find(c.numbers.begin(), c.numbers.end(), v) != c.numbers.end();
                    break;
                }
            }
            if (ok) return true;
        }
        return false;
    }

    const Query::Parsed& q_;
    RecordAccess access_;
    std::vector<Prepared> prepared_;
};

}  // namespace

Query::Query() : p_(std::make_unique<Parsed>()) {}
Query::Query(Query&&) noexcept = default;
Query& Query::operator=(Query&&) noexcept = default;
Query::~Query() = default;

Query Query::parse(TableId t, std::string_view text)
{
    Query q;
    q.p_->table = t;
    Parser(*q.p_, text).parseAll();
    return q;
}

TableId Query::table() const
{
    return p_->table;
}

std::vector<std::int32_t> Query::run(const Database& d, QueryDate today) const
{
    return Runner(*p_, d, today).run();
}

}  // namespace db
