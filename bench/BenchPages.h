#ifndef PAGEDOM_BENCH_BENCHPAGES_H
#define PAGEDOM_BENCH_BENCHPAGES_H

// The pages the reading benchmarks run on: the bundled example pages and a
// generated page of a requested size.  The generated page is built from a
// fixed seed, so every run and every program measures the same bytes; a
// larger page is the smaller one with more sections appended, so that the
// throughput of the two sizes can be compared directly.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "dom.h"

#ifdef PAGEDOM_BENCH_LIBXML2
#include <libxml/HTMLparser.h>
#include <libxml/HTMLtree.h>
#include <libxml/parser.h>
#endif

namespace benchpages {

// A small deterministic generator (64-bit LCG, high bits used).
class Random {
public:
    explicit Random(std::uint64_t seed) : _state(seed) {}

    unsigned next(unsigned bound)
    {
        _state = _state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<unsigned>((_state >> 33) % bound);
    }

    bool chance(unsigned percent) { return next(100) < percent; }

private:
    std::uint64_t _state;
};

class PageWriter {
public:
    explicit PageWriter(std::size_t target) : _target(target), _random(0x5eed5eedULL) {}

    std::string build()
    {
        _head();
        _out += "<BODY BGCOLOR=\"#FFFFFF\" TEXT=\"#000000\" LINK=\"#003366\">\n";
        _out += "<%@ include file=\"/common/header.jsp\" %>\n";
        for (unsigned section = 1; _out.size() + 32 < _target; ++section)
            _section(section);
        _out += "</BODY>\n</HTML>\n";
        return std::move(_out);
    }

private:
    static const char* word(unsigned i)
    {
        static const char* const words[] = {
            "garden", "tools", "order", "shipping", "spring", "catalog", "price", "the",
            "and", "for", "with", "planter", "seeds", "delivery", "customer", "account",
            "available", "stock", "season", "quality", "steel", "handle", "warranty", "of",
            "in", "to", "a", "is", "our", "your", "service", "request", "contact", "free",
            "new", "summer", "terracotta", "watering", "hose", "rake", "spade", "gloves",
            "compost", "soil", "bulbs", "perennial", "hedge", "trimmer", "weekly", "offer"};
        return words[i % (sizeof words / sizeof words[0])];
    }

    void _words(unsigned count)
    {
        for (unsigned i = 0; i < count; ++i) {
            if (i)
                _out += _random.chance(8) ? "\n" : " ";
            _out += word(_random.next(1000));
        }
    }

    void _entity()
    {
        static const char* const entities[] = {
            "&amp;", "&nbsp;", "&eacute;", "&copy;", "&#8212;", "&lt;", "&gt;", "&quot;",
            "&ndash;", "&#169;", "&reg;", "&uuml;"};
        _out += entities[_random.next(sizeof entities / sizeof entities[0])];
    }

    // A paragraph of running text with inline markup and references.
    void _inlineText(unsigned pieces)
    {
        for (unsigned i = 0; i < pieces; ++i) {
            unsigned n = 3 + _random.next(9);
            switch (_random.next(12)) {
            case 0:
                _out += "<B>";
                _words(1 + _random.next(3));
                _out += "</B>";
                break;
            case 1:
                _out += "<I>";
                _words(1 + _random.next(4));
                _out += "</I>";
                break;
            case 2:
                _out += "<A HREF=\"/catalog/item";
                _out += std::to_string(_random.next(5000));
                _out += ".html\">";
                _words(1 + _random.next(3));
                _out += "</A>";
                break;
            case 3:
                _out += "<FONT SIZE=\"-1\" COLOR=\"#336633\">";
                _words(2);
                _out += "</FONT>";
                break;
            case 4:
                _out += "<%= customer.getFirstName() %>";
                break;
            case 5:
                _entity();
                break;
            case 6:
                _out += "<EM>";
                _words(2);
                _out += "</EM>";
                break;
            case 7:
                _out += "<BR>\n";
                break;
            default:
                break;
            }
            _out += ' ';
            _words(n);
            _out += ' ';
        }
    }

    void _head()
    {
        _out +=
            "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\"\n"
            "        \"http://www.w3.org/TR/REC-html40/loose.dtd\">\n"
            "<%@ page language=\"java\" contentType=\"text/html\" import=\"java.util.*\" %>\n"
            "<HTML LANG=\"en\">\n"
            "<HEAD>\n"
            "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html\">\n"
            "<META NAME=\"keywords\" CONTENT=\"garden tools, seeds, pots\">\n"
            "<TITLE>Greenfield Supply &mdash; Full Catalog</TITLE>\n"
            "<LINK REL=\"stylesheet\" TYPE=\"text/css\" HREF=\"styles/catalog.css\">\n"
            "<STYLE TYPE=\"text/css\">\n"
            "<!--\n"
            "  TABLE.items TD { padding: 2px 6px; }\n"
            "  TD.price { text-align: right; }\n"
            "-->\n"
            "</STYLE>\n"
            "<SCRIPT TYPE=\"text/javascript\" LANGUAGE=\"JavaScript\">\n"
            "<!--\n"
            "function updateTotal(form) {\n"
            "    var qty = parseInt(form.quantity.value, 10);\n"
            "    if (isNaN(qty) || qty < 1) { qty = 1; }\n"
            "    for (var i = 0; i < form.elements.length && i < 64; i++) {\n"
            "        if (form.elements[i].name == \"total\") { form.elements[i].value = qty * 12.5; }\n"
            "    }\n"
            "    return qty > 0 && qty < 100;\n"
            "}\n"
            "// -->\n"
            "</SCRIPT>\n"
            "</HEAD>\n";
    }

    void _table(unsigned section)
    {
        _out += "<TABLE CLASS=\"items\" BORDER=\"1\" CELLSPACING=\"0\" WIDTH=\"90%\">\n";
        _out += "  <CAPTION ALIGN=\"top\">";
        _words(3);
        _out += " &amp; ";
        _words(1);
        _out += "</CAPTION>\n";
        _out += "  <TR><TH>Item</TH><TH>Description</TH><TH>Size</TH><TH ALIGN=\"right\">Price</TH></TR>\n";
        unsigned rows = 4 + _random.next(8);
        bool closeCells = _random.chance(50);
        for (unsigned r = 0; r < rows; ++r) {
            _out += r % 2 ? "  <TR BGCOLOR=\"#EEEEEE\">\n" : "  <TR>\n";
            _out += "    <TD><A HREF=\"item.jsp?id=";
            _out += std::to_string(section * 100 + r);
            _out += "\">";
            _out += std::to_string(1000 + _random.next(9000));
            _out += "</A>";
            _out += closeCells ? "</TD>\n" : "\n";
            _out += "    <TD>";
            _words(2 + _random.next(6));
            if (_random.chance(30))
                _entity();
            _out += closeCells ? "</TD>\n" : "\n";
            _out += "    <TD ALIGN=\"center\">";
            _out += std::to_string(1 + _random.next(20));
            _out += "&nbsp;in";
            _out += closeCells ? "</TD>\n" : "\n";
            _out += "    <TD CLASS=\"price\">$";
            _out += std::to_string(1 + _random.next(200));
            _out += ".";
            _out += std::to_string(10 + _random.next(90));
            _out += closeCells ? "</TD>\n" : "\n";
            if (_random.chance(50))
                _out += "  </TR>\n";
        }
        _out += "</TABLE>\n";
    }

    void _form(unsigned section)
    {
        const std::string id = std::to_string(section);
        _out += "<FORM ACTION=\"order.jsp\" METHOD=\"post\" NAME=\"order" + id + "\">\n";
        _out += "<INPUT TYPE=\"hidden\" NAME=\"section\" VALUE=\"" + id + "\">\n";
        _out += "<INPUT TYPE=\"hidden\" NAME=\"session\" VALUE=\"<%= session.getId() %>\">\n";
        _out += "<LABEL FOR=\"qty" + id + "\">Quantity</LABEL>\n";
        _out += "<INPUT TYPE=\"text\" ID=\"qty" + id + "\" NAME=\"quantity\" SIZE=\"4\" VALUE=\"1\""
                " onChange=\"updateTotal(this.form)\">\n";
        _out += "<SELECT NAME=\"color\">\n";
        unsigned options = 3 + _random.next(5);
        for (unsigned o = 0; o < options; ++o) {
            _out += "  <OPTION VALUE=\"";
            _out += word(o + section);
            _out += "\"";
            if (o == 0)
                _out += " SELECTED";
            _out += ">";
            _out += word(_random.next(1000));
            _out += '\n';
        }
        _out += "</SELECT>\n";
        _out += "<INPUT TYPE=\"checkbox\" NAME=\"gift\" CHECKED> Gift wrap<BR>\n";
        _out += "<TEXTAREA NAME=\"note\" ROWS=\"3\" COLS=\"40\">";
        _words(6);
        _out += "</TEXTAREA>\n";
        _out += "<INPUT TYPE=\"submit\" VALUE=\"Add to order\">\n";
        _out += "</FORM>\n";
    }

    void _section(unsigned section)
    {
        const std::string id = std::to_string(section);
        _out += "\n<!-- ============ section " + id + " ============ -->\n";
        _out += "<H2><A NAME=\"s" + id + "\">";
        _words(2 + _random.next(3));
        _out += "</A></H2>\n";
        unsigned paragraphs = 1 + _random.next(3);
        for (unsigned p = 0; p < paragraphs; ++p) {
            _out += _random.chance(30) ? "<P ALIGN=\"justify\">" : "<P>";
            _inlineText(3 + _random.next(6));
            _out += _random.chance(60) ? "</P>\n" : "\n";
        }
        if (_random.chance(40)) {
            _out += "<% if (customer.isPreferred()) { %>\n";
            _out += "<P CLASS=\"sale\">Preferred price: <%= pricing.format(" + id + ") %></P>\n";
            _out += "<% } %>\n";
        }
        _table(section);
        if (_random.chance(50)) {
            _out += "<UL>\n";
            unsigned items = 2 + _random.next(5);
            for (unsigned i = 0; i < items; ++i) {
                _out += "  <LI>";
                _inlineText(1);
                _out += '\n';
            }
            _out += "</UL>\n";
        }
        if (_random.chance(50))
            _form(section);
        _out += "<P><IMG SRC=\"images/item" + id + ".gif\" WIDTH=\"120\" HEIGHT=\"90\" ALT=\"";
        _words(2);
        _out += "\" BORDER=\"0\" ALIGN=\"left\">";
        _inlineText(2);
        _out += "\n<HR>\n";
    }

    std::size_t _target;
    Random _random;
    std::string _out;
};

// A generated page of at least target bytes (it ends with the next section).
inline std::string generatePage(std::size_t target)
{
    return PageWriter(target).build();
}

inline std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::string();
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The directory of the bundled example pages: $PAGEDOM_EXAMPLES, else the
// source tree's examples/ as configured by the build.
inline std::string examplesDirectory()
{
    if (const char* env = std::getenv("PAGEDOM_EXAMPLES"))
        return env;
#ifdef PAGEDOM_EXAMPLES_DIR
    return PAGEDOM_EXAMPLES_DIR;
#else
    return "examples";
#endif
}

// A page by name, read or made once per process: "generated-1MB" and
// "generated-10MB" are generated pages of those sizes, any other name is a
// file of the examples directory.
inline const std::string& namedPage(const std::string& name)
{
    static std::map<std::string, std::string> pages;
    auto found = pages.find(name);
    if (found != pages.end())
        return found->second;
    std::string text;
    if (name == "generated-1MB")
        text = generatePage(1u << 20);
    else if (name == "generated-10MB")
        text = generatePage(10u << 20);
    else
        text = readFile(examplesDirectory() + "/" + name);
    return pages.emplace(name, std::move(text)).first->second;
}

// Every page in the examples directory, by file name in name order; an
// absent or empty directory gives none.
inline std::vector<std::pair<std::string, std::string>> examplePages()
{
    std::vector<std::pair<std::string, std::string>> pages;
    std::error_code error;
    std::filesystem::directory_iterator it(examplesDirectory(), error), end;
    for (; !error && it != end; it.increment(error)) {
        if (!it->is_regular_file(error))
            continue;
        std::string text = readFile(it->path().string());
        if (!text.empty())
            pages.emplace_back(it->path().filename().string(), std::move(text));
    }
    std::sort(pages.begin(), pages.end());
    return pages;
}

// The names namedPage knows, in the order benchmarks list them: the example
// pages, then the generated pages of 1 MB and 10 MB.
inline std::vector<std::string> pageNames()
{
    std::vector<std::string> names;
    for (const auto& example : examplePages())
        names.push_back(example.first);
    names.push_back("generated-1MB");
    names.push_back("generated-10MB");
    return names;
}

// Builds the HTML document type before any measurement: the registry keeps
// it, so later documents only look it up.
inline void warmUp()
{
    static bool done = false;
    if (done)
        return;
    Document* doc = DOMImpl::createDocument("HTML");
    doc->createNodes("<P>x", 4, nullptr);
    doc->releaseRef();
    done = true;
}

inline Document* parsePagedom(const std::string& page)
{
    Document* doc = DOMImpl::createDocument("HTML");
    doc->createNodes(page.data(), page.size(), nullptr);
    return doc;
}

#ifdef PAGEDOM_BENCH_LIBXML2
inline htmlDocPtr parseLibxml2(const std::string& page)
{
    return htmlReadMemory(page.data(), static_cast<int>(page.size()), nullptr, nullptr,
                          HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING
                              | HTML_PARSE_NONET);
}
#endif

} // namespace benchpages

#endif
