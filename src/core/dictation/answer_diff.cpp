// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/dictation/answer_diff.h"

#include "core/dictation/answer_checking.h"

#include <algorithm>
#include <vector>

namespace dictora {

namespace {

char16_t lowered(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? char16_t(c - u'A' + u'a') : c;
}

// One aligned unit: a word of a spaced script (the blank-separated run, so
// "it's" is one word with the key "its") or one character of a
// character script. Keys hold only significant characters, lower-cased.
struct Token {
    int start = 0; // display span in the text
    int end = 0;
    int keyStart = 0; // span in the text's key buffer
    int keyLength = 0;
    bool character = false;
};

struct Tokens {
    QStringView text;
    QString keys;
    std::vector<Token> list;

    QStringView key(const Token& t) const { return QStringView(keys).mid(t.keyStart, t.keyLength); }
};

bool isCharacterToken(QChar c)
{
    return isCharacterScript(c) && isSignificant(c);
}

Tokens tokenize(QStringView text)
{
    Tokens out;
    out.text = text;
    out.keys.reserve(text.size());
    const int n = int(text.size());
    int i = 0;
    while (i < n) {
        const QChar c = text[i];
        if (isCharacterToken(c)) {
            out.list.push_back({i, i + 1, int(out.keys.size()), 1, true});
            out.keys += QChar(lowered(c.unicode()));
            ++i;
            continue;
        }
        if (c.isSpace()) {
            ++i;
            continue;
        }
        const int keyStart = int(out.keys.size());
        int j = i;
        while (j < n && !text[j].isSpace() && !isCharacterToken(text[j])) {
            if (isSignificant(text[j]))
                out.keys += QChar(lowered(text[j].unicode()));
            ++j;
        }
        const int keyLength = int(out.keys.size()) - keyStart;
        if (keyLength > 0)
            out.list.push_back({i, j, keyStart, keyLength, false});
        i = j;
    }
    return out;
}

enum class Op { Equal, Delete, Insert };
struct Step {
    Op op;
    int a; // sentence token (Equal, Delete)
    int b; // answer token (Equal, Insert)
};

// Beyond this many differences the texts are too far apart for an alignment
// to mean anything; the middle is then handled as one changed block.
constexpr int kMaxDifferences = 400;

// Myers' shortest edit script over a[aFrom, aTo) and b[bFrom, bTo); false
// when it would take more than kMaxDifferences steps.
template <typename Equal>
bool shortestEdit(int aFrom, int aTo, int bFrom, int bTo, Equal eq, std::vector<Step>& steps)
{
    const int n = aTo - aFrom;
    const int m = bTo - bFrom;
    const int max = std::min(n + m, kMaxDifferences);
    std::vector<int> v(size_t(2 * max + 3), 0);
    const int offset = max + 1;
    std::vector<std::vector<int>> trace;
    int found = -1;
    for (int d = 0; d <= max && found < 0; ++d) {
        trace.emplace_back(v.begin() + offset - d, v.begin() + offset + d + 1);
        for (int k = -d; k <= d; k += 2) {
            int x = (k == -d || (k != d && v[offset + k - 1] < v[offset + k + 1]))
                        ? v[offset + k + 1]
                        : v[offset + k - 1] + 1;
            int y = x - k;
            while (x < n && y < m && eq(aFrom + x, bFrom + y)) {
                ++x;
                ++y;
            }
            v[offset + k] = x;
            if (x >= n && y >= m) {
                found = d;
                break;
            }
        }
    }
    if (found < 0)
        return false;
    std::vector<Step> reversed;
    int x = n;
    int y = m;
    for (int d = found; d > 0; --d) {
        const std::vector<int>& before = trace[size_t(d)];
        auto at = [&](int k) { return before[size_t(k + d)]; };
        const int k = x - y;
        const int prevK = (k == -d || (k != d && at(k - 1) < at(k + 1))) ? k + 1 : k - 1;
        const int prevX = at(prevK);
        const int prevY = prevX - prevK;
        while (x > prevX && y > prevY) {
            --x;
            --y;
            reversed.push_back({Op::Equal, aFrom + x, bFrom + y});
        }
        if (prevK == k + 1)
            reversed.push_back({Op::Insert, -1, bFrom + prevY});
        else
            reversed.push_back({Op::Delete, aFrom + prevX, -1});
        x = prevX;
        y = prevY;
    }
    while (x > 0 && y > 0) {
        --x;
        --y;
        reversed.push_back({Op::Equal, aFrom + x, bFrom + y});
    }
    steps.insert(steps.end(), reversed.rbegin(), reversed.rend());
    return true;
}

// Character alignment inside a word: Levenshtein with its path.
enum class CharOp { Match, Substitute, Missing, Extra };

std::vector<CharOp> alignCharacters(QStringView a, QStringView b, int* distance)
{
    const int n = int(a.size());
    const int m = int(b.size());
    std::vector<int> cost(size_t((n + 1) * (m + 1)));
    auto c = [&](int i, int j) -> int& { return cost[size_t(i * (m + 1) + j)]; };
    for (int i = 0; i <= n; ++i)
        c(i, 0) = i;
    for (int j = 0; j <= m; ++j)
        c(0, j) = j;
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= m; ++j)
            c(i, j) = std::min({c(i - 1, j - 1) + (a[i - 1] == b[j - 1] ? 0 : 1), c(i - 1, j) + 1,
                                c(i, j - 1) + 1});
    *distance = c(n, m);
    std::vector<CharOp> ops;
    int i = n;
    int j = m;
    while (i > 0 || j > 0) {
        if (i > 0 && j > 0 && c(i, j) == c(i - 1, j - 1) + (a[i - 1] == b[j - 1] ? 0 : 1)) {
            ops.push_back(a[i - 1] == b[j - 1] ? CharOp::Match : CharOp::Substitute);
            --i;
            --j;
        } else if (i > 0 && c(i, j) == c(i - 1, j) + 1) {
            ops.push_back(CharOp::Missing);
            --i;
        } else {
            ops.push_back(CharOp::Extra);
            --j;
        }
    }
    std::reverse(ops.begin(), ops.end());
    return ops;
}

// Words longer than this are never taken for typos of each other: the
// character alignment is quadratic.
constexpr int kLongestTypoWord = 64;

struct Builder {
    const Tokens& sentence;
    const Tokens& answer;
    struct Piece {
        DiffPiece piece;
        bool spacedWord = false; // a missing word that needs blanks around it
    };
    std::vector<Piece> pieces;
    int answerAt = 0; // display characters of the answer emitted so far
    std::vector<int> missedTokens;

    void add(DiffMark mark, QStringView text, const QString& expected = {}, bool spaced = false)
    {
        if (text.isEmpty())
            return;
        if (spaced && !pieces.empty() && pieces.back().spacedWord) {
            pieces.back().piece.text += u' ' + text.toString();
            return;
        }
        if (!spaced && !pieces.empty() && !pieces.back().spacedWord &&
            pieces.back().piece.mark == mark && mark != DiffMark::Wrong) {
            pieces.back().piece.text += text;
            return;
        }
        pieces.push_back({{text.toString(), mark, expected}, spaced});
    }

    // Answer text up to position, marked by significance.
    void answerUpTo(int position, DiffMark significantMark)
    {
        for (; answerAt < position; ++answerAt) {
            const QChar c = answer.text[answerAt];
            add(isSignificant(c) ? significantMark : DiffMark::Plain, QStringView(&c, 1));
        }
    }

    void gapBefore(const Token& t) { answerUpTo(t.start, DiffMark::Plain); }

    void right(const Token& b)
    {
        gapBefore(b);
        answerUpTo(b.end, DiffMark::Right);
    }

    void extra(const Token& b)
    {
        gapBefore(b);
        answerUpTo(b.end, DiffMark::Extra);
    }

    void missing(int a)
    {
        const Token& t = sentence.list[size_t(a)];
        add(DiffMark::Missing, sentence.text.mid(t.start, t.end - t.start), {}, !t.character);
        missedTokens.push_back(a);
    }

    void wrongCharacter(int a, const Token& b)
    {
        gapBefore(b);
        const Token& t = sentence.list[size_t(a)];
        add(DiffMark::Wrong, answer.text.mid(b.start, b.end - b.start),
            sentence.text.mid(t.start, t.end - t.start).toString());
        answerAt = b.end;
        missedTokens.push_back(a);
    }

    void typo(int a, const Token& b, const std::vector<CharOp>& ops)
    {
        gapBefore(b);
        const QStringView key = sentence.key(sentence.list[size_t(a)]);
        int keyAt = 0;
        for (const CharOp op : ops) {
            if (op == CharOp::Missing) {
                add(DiffMark::Missing, key.mid(keyAt++, 1));
                continue;
            }
            while (answerAt < b.end && !isSignificant(answer.text[answerAt]))
                add(DiffMark::Plain, answer.text.mid(answerAt++, 1));
            const QStringView typed = answer.text.mid(answerAt++, 1);
            if (op == CharOp::Match)
                add(DiffMark::Right, typed);
            else if (op == CharOp::Substitute)
                add(DiffMark::Wrong, typed, key.mid(keyAt, 1).toString());
            else
                add(DiffMark::Extra, typed);
            if (op != CharOp::Extra)
                ++keyAt;
        }
        answerUpTo(b.end, DiffMark::Plain);
        missedTokens.push_back(a);
    }

    // A run of sentence tokens not matched against a run of answer tokens.
    void changedBlock(const std::vector<int>& deleted, const std::vector<int>& inserted)
    {
        // Only the blanks differ ("every one" for "everyone"): no error.
        QString deletedKeys;
        QString insertedKeys;
        for (int a : deleted)
            deletedKeys += sentence.key(sentence.list[size_t(a)]);
        for (int b : inserted)
            insertedKeys += answer.key(answer.list[size_t(b)]);
        if (deletedKeys == insertedKeys) {
            for (int b : inserted)
                right(answer.list[size_t(b)]);
            return;
        }
        size_t di = 0;
        size_t ii = 0;
        while (di < deleted.size() && ii < inserted.size()) {
            const Token& s = sentence.list[size_t(deleted[di])];
            const Token& b = answer.list[size_t(inserted[ii])];
            const size_t deletedLeft = deleted.size() - di;
            const size_t insertedLeft = inserted.size() - ii;
            if (s.character && b.character && deletedLeft == insertedLeft) {
                wrongCharacter(deleted[di++], b);
                ++ii;
                continue;
            }
            if (!s.character && !b.character && s.keyLength <= kLongestTypoWord &&
                b.keyLength <= kLongestTypoWord) {
                int distance = 0;
                const std::vector<CharOp> ops = alignCharacters(sentence.key(s), answer.key(b), &distance);
                if (2 * distance <= std::max(s.keyLength, b.keyLength)) {
                    typo(deleted[di++], b, ops);
                    ++ii;
                    continue;
                }
            }
            if (deletedLeft > insertedLeft) {
                missing(deleted[di++]);
            } else if (insertedLeft > deletedLeft) {
                extra(b);
                ++ii;
            } else {
                extra(b);
                ++ii;
                missing(deleted[di++]);
            }
        }
        while (ii < inserted.size())
            extra(answer.list[size_t(inserted[ii++])]);
        while (di < deleted.size())
            missing(deleted[di++]);
    }

    // Blanks around missing words, so that "hello big world" does not read
    // "hellobig world".
    QList<DiffPiece> finish()
    {
        answerUpTo(int(answer.text.size()), DiffMark::Plain);
        QList<DiffPiece> out;
        out.reserve(qsizetype(pieces.size()));
        for (size_t k = 0; k < pieces.size(); ++k) {
            DiffPiece piece = pieces[k].piece;
            if (pieces[k].spacedWord) {
                if (!out.isEmpty() && !out.back().text.isEmpty() && !out.back().text.back().isSpace())
                    piece.text.prepend(u' ');
                if (k + 1 < pieces.size()) {
                    const QString& next = pieces[k + 1].piece.text;
                    if (!next.isEmpty() && !next.front().isSpace() && !isCharacterScript(next.front()))
                        piece.text.append(u' ');
                }
            }
            out.append(std::move(piece));
        }
        return out;
    }

    // Missed tokens as words: a run of neighbouring characters of a
    // character script is one word ("你们" rather than "你" and "们").
    QStringList missedWords() const
    {
        std::vector<int> sorted = missedTokens;
        std::sort(sorted.begin(), sorted.end());
        sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
        QStringList words;
        for (size_t k = 0; k < sorted.size(); ++k) {
            const Token& t = sentence.list[size_t(sorted[k])];
            QString word = sentence.key(t).toString();
            while (t.character && k + 1 < sorted.size() && sorted[k + 1] == sorted[k] + 1) {
                const Token& next = sentence.list[size_t(sorted[k + 1])];
                if (!next.character)
                    break;
                word += sentence.key(next);
                ++k;
            }
            if (!words.contains(word))
                words.append(word);
        }
        return words;
    }
};

} // namespace

bool isCharacterScript(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 0x4E00 && u <= 0x9FFF) || (u >= 0x3400 && u <= 0x4DBF) ||
           (u >= 0xF900 && u <= 0xFAFF) || (u >= 0x3040 && u <= 0x30FF) ||
           (u >= 0x31F0 && u <= 0x31FF) || (u >= 0xAC00 && u <= 0xD7AF) ||
           (u >= 0x1100 && u <= 0x11FF) || (u >= 0x3130 && u <= 0x318F) ||
           (u >= 0x0E00 && u <= 0x0EFF) || (u >= 0xD800 && u <= 0xDFFF);
}

AnswerDiff diffAnswer(QStringView sentence, QStringView answer)
{
    const Tokens s = tokenize(sentence);
    const Tokens a = tokenize(answer);
    Builder builder{s, a, {}, 0, {}};
    AnswerDiff diff;

    // What answer checking accepts is shown without a single error, whatever
    // the alignment would make of it.
    if (CompareAnswer(sentence, answer).matches()) {
        builder.answerUpTo(int(answer.size()), DiffMark::Right);
        diff.pieces = builder.finish();
        return diff;
    }

    const auto equal = [&](int x, int y) {
        return s.key(s.list[size_t(x)]) == a.key(a.list[size_t(y)]);
    };
    const int n = int(s.list.size());
    const int m = int(a.list.size());
    int head = 0;
    while (head < n && head < m && equal(head, head))
        ++head;
    int tail = 0;
    while (tail < n - head && tail < m - head && equal(n - 1 - tail, m - 1 - tail))
        ++tail;

    std::vector<Step> steps;
    for (int k = 0; k < head; ++k)
        steps.push_back({Op::Equal, k, k});
    if (!shortestEdit(head, n - tail, head, m - tail, equal, steps)) {
        for (int k = head; k < n - tail; ++k)
            steps.push_back({Op::Delete, k, -1});
        for (int k = head; k < m - tail; ++k)
            steps.push_back({Op::Insert, -1, k});
    }
    for (int k = tail; k > 0; --k)
        steps.push_back({Op::Equal, n - k, m - k});

    std::vector<int> deleted;
    std::vector<int> inserted;
    const auto flush = [&] {
        if (!deleted.empty() || !inserted.empty())
            builder.changedBlock(deleted, inserted);
        deleted.clear();
        inserted.clear();
    };
    for (const Step& step : steps) {
        if (step.op == Op::Equal) {
            flush();
            builder.right(a.list[size_t(step.b)]);
        } else if (step.op == Op::Delete) {
            deleted.push_back(step.a);
        } else {
            inserted.push_back(step.b);
        }
    }
    flush();

    diff.pieces = builder.finish();
    diff.missedWords = builder.missedWords();
    for (const DiffPiece& piece : diff.pieces)
        diff.errorCount += (piece.mark == DiffMark::Wrong || piece.mark == DiffMark::Extra ||
                            piece.mark == DiffMark::Missing)
                               ? 1
                               : 0;
    return diff;
}

} // namespace dictora
