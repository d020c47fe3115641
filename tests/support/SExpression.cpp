// SPDX-License-Identifier: Apache-2.0
#include "tests/support/SExpression.h"

#include <cctype>
#include <stdexcept>

namespace {

class Reader {
public:
    explicit Reader(const std::string& text) : text_(text) {}

    SExpr Read()
    {
        Skip();
        if (at_ >= text_.size()) throw std::runtime_error("s-expression ends early");
        if (text_[at_] == ')') throw std::runtime_error("unexpected ')'");
        if (text_[at_] != '(') return Atom();
        ++at_;
        SExpr list;
        list.list = true;
        for (;;) {
            Skip();
            if (at_ >= text_.size()) throw std::runtime_error("unclosed '('");
            if (text_[at_] == ')') {
                ++at_;
                return list;
            }
            list.items.push_back(Read());
        }
    }

    bool AtEnd()
    {
        Skip();
        return at_ >= text_.size();
    }

private:
    void Skip()
    {
        while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_]))) ++at_;
    }

    SExpr Atom()
    {
        SExpr atom;
        if (text_[at_] == '"') {
            for (++at_; at_ < text_.size() && text_[at_] != '"'; ++at_) {
                if (text_[at_] == '\\' && ++at_ < text_.size())
                    atom.atom += text_[at_] == 'n' ? '\n' : text_[at_];
                else
                    atom.atom += text_[at_];
            }
            if (at_++ >= text_.size()) throw std::runtime_error("unclosed string");
            return atom;
        }
        while (at_ < text_.size() && text_[at_] != '(' && text_[at_] != ')' &&
               !std::isspace(static_cast<unsigned char>(text_[at_])))
            atom.atom += text_[at_++];
        return atom;
    }

    const std::string& text_;
    size_t at_ = 0;
};

} // namespace

const SExpr* SExpr::Find(const std::string& name) const
{
    for (const SExpr& item : items)
        if (item.list && !item.items.empty() && item.items[0].atom == name) return &item;
    return nullptr;
}

std::vector<const SExpr*> SExpr::All(const std::string& name) const
{
    std::vector<const SExpr*> found;
    for (const SExpr& item : items)
        if (item.list && !item.items.empty() && item.items[0].atom == name) found.push_back(&item);
    return found;
}

const std::string& SExpr::Head() const
{
    if (!list || items.empty()) throw std::runtime_error("no head");
    return items[0].atom;
}

double SExpr::Number(size_t index) const
{
    return std::stod(items.at(index).atom);
}

SExpr ParseSExpr(const std::string& text)
{
    Reader reader(text);
    SExpr root = reader.Read();
    if (!reader.AtEnd()) throw std::runtime_error("text after the s-expression");
    return root;
}
