#pragma once

#include "ByteSource.h"

#include <functional>
#include <memory>
#include <string>

class TimerFactory;

// What the window's loads need of the world, for tests to replace.
struct LoadSeams
{
    TimerFactory *timers = nullptr; // for the progress dialog; Qt's when null
    // Opens the file at path; a FileReader when empty. Runs on the load's thread.
    std::function<std::unique_ptr<ByteSource>(const std::string &path)> open;
};
