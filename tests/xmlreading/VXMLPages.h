#ifndef PAGEDOM_TESTS_VXMLPAGES_H
#define PAGEDOM_TESTS_VXMLPAGES_H

// VoiceXML pages broken the ways authors break them: elements outside the
// parents that may hold them, stray and missing end tags, names in the wrong
// case, bare markup characters, unknown elements, with comments, CDATA
// sections, references and JSP among them, and sometimes markup the end of
// the page cuts short.
#include <string>
#include <vector>

#include "writing/RandomEdits.h"

namespace vxmlpages {

class PageMaker {
public:
    explicit PageMaker(randomedits::Random& random) : _random(random) {}

    std::string make(unsigned parts)
    {
        _out.clear();
        if (_random.chance(50))
            _out += "<?xml version=\"1.0\"?>\r\n";
        if (_random.chance(30))
            _out += "<!DOCTYPE vxml [<!ENTITY copy \"&#169;\">]>\r\n";
        if (_random.chance(10))
            _out += "stray before the root ";
        const bool root = _random.chance(85);
        if (root)
            _out += "<vxml version=\"1.0\">";
        for (unsigned i = 0; i < parts; ++i)
            _part(0);
        if (root && _random.chance(80))
            _out += "</vxml>";
        if (_random.chance(10))
            _out += _random.pick(std::vector<std::string>{"<!-- cut", "<![CDATA[ cut", "<?pi cut", "<block a='cut",
                                                          "<% cut", "</form", "<"});
        return _out;
    }

private:
    void _part(unsigned depth)
    {
        static const std::vector<std::string> containers = {
            "form", "block", "field name=\"f\"", "menu", "prompt", "if cond=\"a\"", "filled", "choice",
            "subdialog src=\"s\"", "object", "noinput", "audio src=\"a.wav\"", "emp", "option", "Form", "mystery"};
        static const std::vector<std::string> leaves = {
            "<break/>", "<else/>", "<elseif cond=\"b\"/>", "<param name=\"p\"/>", "<var name=\"v\"/>",
            "<value expr=\"x\"/>", "<reprompt/>", "<goto next=\"#a\"/>", "<break>", "<meta name=m content=c/>"};
        static const std::vector<std::string> kept = {
            "<!-- note -->", "<![CDATA[ raw <x> ]]>", "<%= bean.name %>", "<% int i = 0; %>", "&copy;",
            "&amp;", "&#65;", "1 < 2", "\"quoted\"", "a > b", "&unknown;", "<?pi data?>"};
        static const std::vector<std::string> stray = {"</block>", "</form>", "</prompt>", "</vxml>", "</if>",
                                                       "</mystery>", "</FORM>"};
        switch (_random.next(depth > 4 ? 4 : 7)) {
        case 0:
            _out += _random.pick(randomedits::WORDS);
            break;
        case 1:
            _out += _random.pick(kept);
            break;
        case 2:
            _out += _random.pick(leaves);
            break;
        case 3:
            _out += _random.pick(stray);
            break;
        default: {
            const std::string& tag = _random.pick(containers);
            const std::string name = tag.substr(0, tag.find(' '));
            _out += "<" + tag + ">";
            for (unsigned i = _random.next(4); i > 0; --i)
                _part(depth + 1);
            if (_random.chance(80))
                _out += "</" + (_random.chance(10) ? std::string("BLOCK") : name) + ">";
            break;
        }
        }
        if (_random.chance(30))
            _out += _random.chance(50) ? "\r\n  " : " ";
    }

    randomedits::Random& _random;
    std::string _out;
};

} // namespace vxmlpages

#endif
