#ifndef PAGEDOM_TESTS_BROKENPAGES_H
#define PAGEDOM_TESTS_BROKENPAGES_H
// Pages broken the ways authors break them, for the repair's properties:
// unclosed, misnested, misplaced and unknown elements, stray end tags,
// content outside BODY, table content outside cells, second BODYs and
// TITLEs, late DOCTYPEs, with JSP, includes and comments among them.
#include <string>
#include <vector>

#include "writing/RandomEdits.h"

namespace brokenpages {

class BrokenPageMaker {
public:
    explicit BrokenPageMaker(randomedits::Random& random) : _random(random) {}

    std::string make(unsigned parts)
    {
        _out.clear();
        if (_random.chance(20))
            _out += "stray before <b>html</b>\r\n";
        if (_random.chance(60))
            _out += "<html><head><title>t</title>";
        if (_random.chance(30))
            _out += "<title>second</title>";
        if (_random.chance(60))
            _out += "</head><body bgcolor=white>";
        for (unsigned i = 0; i < parts; ++i)
            _part(0);
        if (_random.chance(30))
            _out += "</body><body class=again>more";
        if (_random.chance(30))
            _out += "</html>after the end";
        if (_random.chance(15))
            _out += "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0//EN\">";
        return _out;
    }

private:
    void _part(unsigned depth)
    {
        static const std::vector<std::string> misplaced = {
            "<td>cell</td>", "<tr><td>row</td></tr>", "<li>item", "<option>choice", "<dd>term",
            "<area href=x>", "<param name=p>", "<caption>cap</caption>", "<tbody><td>b</td></tbody>",
            "<title>in body</title>", "<meta name=x>", "<frame src=f>", "<legend>l</legend>", "<th>head"};
        static const std::vector<std::string> stray = {"</b>", "</td>", "</tr>", "</span>", "</p>", "</table>",
                                                       "</li>", "</font>", "</mystery>"};
        static const std::vector<std::string> kept = {
            "<% int i = 0; %>", "<%= bean.name %>", "<!--#include file=\"x.inc\" -->", "<!-- note -->",
            "<%-- jsp note --%>", "a < b", "fish & chips"};
        static const std::vector<std::string> containers = {"b", "i", "font color=red", "p", "div", "span",
                                                            "a", "a href=x", "ul", "center", "mystery", "pre",
                                                            "h1", "form", "select", "dl", "table", "tr", "td"};
        switch (_random.next(depth > 5 ? 5 : 9)) {
        case 0:
        case 1:
            _out += _random.pick(randomedits::WORDS);
            break;
        case 2:
            _out += _random.pick(kept);
            break;
        case 3:
            _out += _random.pick(stray);
            break;
        case 4:
            _out += _random.pick(misplaced);
            break;
        case 5: {
            // Misnested: the inner element's end tag comes after the outer's.
            _out += "<b>bold<i>both</b>italic</i>";
            break;
        }
        case 6: {
            // A table with content where only cells may hold it.
            _out += "<table>loose<tr>in row<td>";
            _part(depth + 1);
            _out += "</td>" + std::string(_random.chance(50) ? "<td>open" : "") + "</table>";
            break;
        }
        default: {
            const std::string open = _random.pick(containers);
            const std::string name = open.substr(0, open.find(' '));
            _out += "<" + open + ">";
            for (unsigned n = _random.next(4); n; --n)
                _part(depth + 1);
            if (!_random.chance(35))
                _out += "</" + name + ">";
        }
        }
    }

    randomedits::Random& _random;
    std::string _out;
};

// The example pages, the random editor's generated pages and broken pages.
inline std::vector<randomedits::Source> pages()
{
    std::vector<randomedits::Source> all = randomedits::pages();
    for (unsigned i = 0; i < 40; ++i) {
        randomedits::Random random(9000 + i);
        all.push_back({"broken " + std::to_string(i), BrokenPageMaker(random).make(6 + 2 * i),
                       i % 4 ? DOMImpl::JSP_NONE : DOMImpl::JSP_10});
    }
    return all;
}

} // namespace brokenpages

#endif
