// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>
#include <vector>

// A small reader of s-expressions as KiCad writes them: lists in parentheses, bare atoms and
// quoted strings with backslash escapes. Malformed text throws std::runtime_error.
struct SExpr {
    bool list = false;
    std::string atom; // an atom's text, unquoted
    std::vector<SExpr> items;

    // The first sub-list whose head atom is name, or null.
    const SExpr* Find(const std::string& name) const;
    // Every sub-list whose head atom is name.
    std::vector<const SExpr*> All(const std::string& name) const;
    const std::string& Head() const;
    double Number(size_t index) const;
};

SExpr ParseSExpr(const std::string& text);
