#pragma once

#include <string>
#include <utility>

// The one way a failure reaches the user: a stop box captioned with the application's title,
// modal for the whole program.
class ErrorBox
{
public:
    // message is UTF-8; the full-stop rule is applied before it is shown.
    static void show(const std::string &message);

    // Runs action; whatever it throws is shown in the error box and goes no further.
    template <typename Action> static void guard(Action &&action)
    {
        try {
            std::forward<Action>(action)();
        } catch (...) {
            showCurrentException();
        }
    }

private:
    static void showCurrentException();
};
