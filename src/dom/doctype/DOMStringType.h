// String helpers for text shown to the user: collapsed white space and
// one-line headlines.
#ifndef PAGEDOM_DOCTYPE_DOMSTRINGTYPE_H
#define PAGEDOM_DOCTYPE_DOMSTRINGTYPE_H

#include <string>

// String helpers for text shown to the user and for collapsed white space.
// White space here means tab, line feed, carriage return and blank.
class DOMStringType {
public:
    // Replaces every run of white space by one blank; returns the new length.
    static unsigned long compact(std::string& text);

    // Shortens text to a one-line headline: leading white space is dropped,
    // at most maxBytes bytes are kept (whole multi-byte characters only) and
    // the text stops at a carriage return or a tab.  When something was cut
    // off, "..." is appended.
    static void headline(std::string& text, unsigned int maxBytes);

private:
    DOMStringType() = delete;
};

#endif
