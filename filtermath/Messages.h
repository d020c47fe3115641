// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>

namespace corvane {

// Where anticipated input problems are reported: a modal box in the window,
// a line on standard error in the command line.
class MessagePort {
public:
    virtual ~MessagePort() = default;
    virtual void ShowMessage(const std::string& text) = 0;
};

} // namespace corvane
