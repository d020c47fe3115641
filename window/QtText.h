// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QString>
#include <string>

namespace corvane {

// The Qt-free layers speak UTF-8 std::string; the widgets take QString.
inline QString ToQt(const std::string& text)
{
    return QString::fromStdString(text);
}

} // namespace corvane
