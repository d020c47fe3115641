// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QLineEdit>
#include <string>

namespace corvane {

// A field's text as the input rules read it, and its accessible name, which their messages name.
inline std::string TextOf(const QLineEdit* edit)
{
    return edit->text().toStdString();
}

inline std::string NameOf(const QLineEdit* edit)
{
    return edit->accessibleName().toStdString();
}

} // namespace corvane
