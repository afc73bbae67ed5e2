#pragma once

class QString;

// The desktop's "open" of an address, behind a seam so that tests launch nothing.
class DesktopShell
{
public:
    virtual ~DesktopShell() = default;
    // Hands address ("mailto:...", "https://...") to the program the desktop has for it.
    // Whether that worked is not told.
    virtual void open(const QString &address) = 0;
};
