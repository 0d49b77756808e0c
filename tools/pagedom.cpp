// pagedom: command-line front end of the library.  It reads pages the way a
// host does (an HTML, XML or VoiceXML document, createNodes, getSource) and
// shows what the library made of them.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "ErrorKinds.h"
#include "Escape.h"
#include "RepairReport.h"
#include "TreePrinter.h"
#include "dom.h"

namespace {

const char* const VERSION = "0.1.0";

// Exit statuses.
const int EXIT_OK = 0;
const int EXIT_DIFFERS = 1;
const int EXIT_USAGE = 2;
const int EXIT_INTERNAL = 3;

// Pages are addressed with 32-bit offsets inside the library.
const unsigned long long MAX_INPUT = 0xFFFFFFFFull;

// The largest formatting options accepted: wider than any page a host lays
// out, and small enough that a deep page's indentation cannot exhaust
// memory.
const unsigned long MAX_INDENT = 64;
const unsigned long MAX_COLUMNS = 10000;

void usage(std::FILE* out)
{
    std::fprintf(out,
                 "usage: pagedom COMMAND [OPTIONS] ARGUMENT...\n"
                 "\n"
                 "commands (FILE may be - for standard input):\n"
                 "  tree FILE          parse a page and print its node tree with tag states\n"
                 "                     and error bits\n"
                 "  roundtrip FILE...  parse and write back each page; report whether the\n"
                 "                     output is identical to the input\n"
                 "  dtd NAME           print a built-in document type (html, xml, vxml,\n"
                 "                     jsp091, jsp10, qrtx)\n"
                 "  format FILE        parse a page, format it and print the new source\n"
                 "  check FILE...      list the errors of each page, one line each:\n"
                 "                     FILE:LINE: NODE: KIND, and a summary line\n"
                 "  fix FILE...        repair each page (misplaced, unclosed and stray\n"
                 "                     elements, duplicated ones, tags) keeping all its\n"
                 "                     content, and write it to standard output\n"
                 "\n"
                 "options:\n"
                 "  --jsp none|0.91|1.0  JSP syntax version (default: 1.0 for files ending\n"
                 "                       in .jsp, none otherwise)\n"
                 "  --xml, --vxml        read the pages as XML or VoiceXML documents (default:\n"
                 "                       by name, .xml and .vxml files; else by content, an\n"
                 "                       XML declaration or a <vxml root; else HTML)\n"
                 "  --adjust             tidy each page as it is read (emptied and redundant\n"
                 "                       formatting elements, duplicated table parts,\n"
                 "                       adjacent texts, line breaks around blocks)\n"
                 "  --indent N           format: spaces per indentation level, 0 to 64\n"
                 "                       (default 2)\n"
                 "  --columns N          format: column limit for text, 0 to 10000 (default 70)\n"
                 "  --tag-case C         format: case of tag names, C is upper, lower or as-is\n"
                 "  --attr-case C        format: case of attribute names\n"
                 "  --value-case C       format: case of enumerated attribute values\n"
                 "  -o, --output OUT     fix: write the repaired page to OUT (with several\n"
                 "                       FILEs, OUT is a directory that gets each page\n"
                 "                       under its own name)\n"
                 "  --report             fix: list on standard error what became of each\n"
                 "                       node with errors (FILE:LINE: NODE: KIND: action)\n"
                 "  --help               show this text\n"
                 "  --version            show the version\n"
                 "\n"
                 "exit status: 0 success, 1 a page did not round-trip or has errors (for\n"
                 "fix: errors it could not repair), 2 bad usage or an unreadable file,\n"
                 "3 internal error\n");
}

// Reports a problem with the command line or an input as one line on stderr.
void complain(const std::string& message)
{
    std::fprintf(stderr, "pagedom: %s\n", message.c_str());
}

struct Options {
    std::string command;
    std::vector<std::string> operands;
    bool jspGiven = false;
    DOMImpl::JSPVersion jsp = DOMImpl::JSP_NONE;
    std::string kind;          // "XML" or "VXML" when told, else chosen per page
    bool adjust = false;       // pages are tidied as they are read
    bool report = false;       // fix: what became of each node with errors
    bool outputGiven = false;
    std::string output;        // fix: where the repaired pages go
    bool formatting = false;   // any of the format options was given
    bool indentGiven = false;
    unsigned long indent = 0;
    bool columnsGiven = false;
    unsigned long columns = 0;
    int tagCase = -1;
    int attrCase = -1;
    int valueCase = -1;
    bool help = false;
    bool version = false;
};

// A decimal number from 0 to max.
bool parseNumber(const std::string& text, unsigned long max, unsigned long& value)
{
    if (text.empty())
        return false;
    unsigned long v = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + static_cast<unsigned long>(c - '0');
        if (v > max)
            return false;
    }
    value = v;
    return true;
}

bool parseCase(const std::string& text, int& value)
{
    if (text == "upper")
        value = DOMImpl::FormatOption::CASE_UPPER;
    else if (text == "lower")
        value = DOMImpl::FormatOption::CASE_LOWER;
    else if (text == "as-is")
        value = DOMImpl::FormatOption::CASE_AS_IS;
    else
        return false;
    return true;
}

bool parseJSP(const std::string& text, DOMImpl::JSPVersion& value)
{
    if (text == "none" || text == "0")
        value = DOMImpl::JSP_NONE;
    else if (text == "0.91")
        value = DOMImpl::JSP_091;
    else if (text == "1.0" || text == "1")
        value = DOMImpl::JSP_10;
    else
        return false;
    return true;
}

// Reads the command line; options may stand before or after the command
// and take their value as the next argument or after "=".  "--" ends the
// options.  Returns false after reporting an error.
bool parseArguments(int argc, char** argv, Options& opts)
{
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            if (opts.command.empty())
                opts.command = arg;
            else
                opts.operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            opts.help = true;
            continue;
        }
        if (arg == "--version") {
            opts.version = true;
            continue;
        }
        if (arg == "--adjust") {
            opts.adjust = true;
            continue;
        }
        if (arg == "--report") {
            opts.report = true;
            continue;
        }
        if (arg == "--xml" || arg == "--vxml") {
            const std::string kind = arg == "--xml" ? "XML" : "VXML";
            if (!opts.kind.empty() && opts.kind != kind) {
                complain("--xml and --vxml exclude each other");
                return false;
            }
            opts.kind = kind;
            continue;
        }
        std::string name = arg;
        std::string value;
        bool hasValue = false;
        std::string::size_type eq = arg.find('=');
        if (eq != std::string::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
            hasValue = true;
        }
        bool known = name == "--jsp" || name == "--indent" || name == "--columns" || name == "-o" || name == "--output" ||
                     name == "--tag-case" || name == "--attr-case" || name == "--value-case";
        if (!known) {
            complain("unknown option '" + arg + "' (see pagedom --help)");
            return false;
        }
        if (!hasValue) {
            if (i + 1 >= argc) {
                complain("option " + name + " needs a value");
                return false;
            }
            value = argv[++i];
        }
        bool ok = true;
        if (name == "-o" || name == "--output") {
            ok = !value.empty();
            opts.output = value;
            opts.outputGiven = true;
        } else if (name == "--jsp") {
            ok = parseJSP(value, opts.jsp);
            opts.jspGiven = true;
        } else if (name == "--indent") {
            ok = parseNumber(value, MAX_INDENT, opts.indent);
            opts.indentGiven = opts.formatting = true;
        } else if (name == "--columns") {
            ok = parseNumber(value, MAX_COLUMNS, opts.columns);
            opts.columnsGiven = opts.formatting = true;
        } else if (name == "--tag-case") {
            ok = parseCase(value, opts.tagCase);
            opts.formatting = true;
        } else if (name == "--attr-case") {
            ok = parseCase(value, opts.attrCase);
            opts.formatting = true;
        } else {
            ok = parseCase(value, opts.valueCase);
            opts.formatting = true;
        }
        if (!ok) {
            const std::string expected =
                name == "-o" || name == "--output" ? "a file or directory name"
                : name == "--jsp"      ? "none, 0.91 or 1.0"
                : name == "--indent"   ? "a number from 0 to " + std::to_string(MAX_INDENT)
                : name == "--columns" ? "a number from 0 to " + std::to_string(MAX_COLUMNS)
                                       : "upper, lower or as-is";
            complain("bad value '" + value + "' for " + name + " (expected " + expected + ")");
            return false;
        }
    }
    return true;
}

// Reads a whole file, or standard input for "-", as bytes.
bool readInput(const std::string& path, std::string& text)
{
    bool useStdin = path == "-";
    std::FILE* in = useStdin ? stdin : std::fopen(path.c_str(), "rb");
    const char* shown = useStdin ? "standard input" : path.c_str();
    if (!in) {
        complain(std::string("cannot open ") + shown + ": " + std::strerror(errno));
        return false;
    }
    text.clear();
    char buffer[65536];
    bool failed = false;
    for (;;) {
        std::size_t n = std::fread(buffer, 1, sizeof buffer, in);
        text.append(buffer, n);
        if (text.size() > MAX_INPUT) {
            complain(std::string("cannot read ") + shown + ": larger than 4 GiB");
            failed = true;
            break;
        }
        if (n < sizeof buffer) {
            if (std::ferror(in)) {
                failed = true;
                complain(std::string("cannot read ") + shown + ": " + std::strerror(errno));
            }
            break;
        }
    }
    if (!useStdin)
        std::fclose(in);
    return !failed;
}

// Whether path ends in suffix (a lower-case extension), ignoring case.
bool endsWith(const std::string& path, const std::string& suffix)
{
    if (path.size() < suffix.size())
        return false;
    std::string tail = path.substr(path.size() - suffix.size());
    for (char& c : tail)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return tail == suffix;
}

// The JSP version a page is read under: the option when given, else 1.0 for
// JSP files and none for everything else.
DOMImpl::JSPVersion jspVersionFor(const Options& opts, const std::string& path)
{
    if (opts.jspGiven)
        return opts.jsp;
    return endsWith(path, ".jsp") ? DOMImpl::JSP_10 : DOMImpl::JSP_NONE;
}

// The index after the markup that starts at i and ends with close, or the
// end of the text.
std::size_t after(const std::string& text, std::size_t i, const char* close)
{
    const std::size_t found = text.find(close, i);
    return found == std::string::npos ? text.size() : found + std::strlen(close);
}

// The kind of document a page's text asks for: "VXML" when its root element
// is vxml, "XML" when it opens with an XML declaration, else "HTML".  What
// may stand before the root is passed over: white space, a byte order mark,
// processing instructions, comments and the document type declaration.
std::string kindByContent(const std::string& text)
{
    const std::string byteOrderMark = "\xEF\xBB\xBF";
    std::size_t i = text.compare(0, byteOrderMark.size(), byteOrderMark) == 0 ? byteOrderMark.size() : 0;
    bool declared = false;
    for (;;) {
        while (i < text.size() && std::strchr(" \t\r\n", text[i]) && text[i])
            ++i;
        if (text.compare(i, 5, "<?xml") == 0) {
            declared = true;
            i = after(text, i, "?>");
        } else if (text.compare(i, 2, "<?") == 0) {
            i = after(text, i, "?>");
        } else if (text.compare(i, 4, "<!--") == 0) {
            i = after(text, i + 4, "-->");
        } else if (text.compare(i, 9, "<!DOCTYPE") == 0) {
            const std::size_t close = text.find('>', i);
            const std::size_t subset = text.find('[', i);
            i = subset < close ? after(text, subset, "]>") : after(text, i, ">");
        } else {
            break;
        }
    }
    if (text.compare(i, 5, "<vxml") == 0 && (i + 5 == text.size() || std::strchr(" \t\r\n/>", text[i + 5])))
        return "VXML";
    return declared ? "XML" : "HTML";
}

// The kind of document a page is read as: the option when given, else by
// the file's name, else by the page's content.
std::string kindFor(const Options& opts, const std::string& path, const std::string& text)
{
    if (!opts.kind.empty())
        return opts.kind;
    if (endsWith(path, ".vxml"))
        return "VXML";
    if (endsWith(path, ".xml"))
        return "XML";
    return kindByContent(text);
}

// Parses a page into a new document of its kind (see kindFor), tidied when
// adjust is set; the caller releases it.
Document* parsePage(const Options& opts, const std::string& path, const std::string& text)
{
    DOMImpl::setJSPVersion(jspVersionFor(opts, path));
    Document* doc = DOMImpl::createDocument(kindFor(opts, path, text));
    if (doc)
        doc->createNodes(text.data(), static_cast<unsigned long>(text.size()), nullptr, opts.adjust);
    return doc;
}

void releaseDocument(Document* doc)
{
    DOM::getDOM()->deleteDocument(doc);
}

bool writeOut(const std::string& text)
{
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
}

bool expectOperands(const Options& opts, std::size_t count, const char* what)
{
    if (opts.operands.size() == count)
        return true;
    complain(opts.command + " takes exactly one " + what + " (see pagedom --help)");
    return false;
}

// Reads the one FILE operand of a command; false (after saying why) when
// there is not exactly one or it cannot be read.
bool readOnlyFile(const Options& opts, std::string& text)
{
    return expectOperands(opts, 1, "FILE") && readInput(opts.operands[0], text);
}

int runTree(const Options& opts)
{
    std::string text;
    if (!readOnlyFile(opts, text))
        return EXIT_USAGE;
    const std::string& path = opts.operands[0];
    Document* doc = parsePage(opts, path, text);
    if (!doc) {
        complain("no document type available");
        return EXIT_INTERNAL;
    }
    tool::printTree(doc, stdout);
    releaseDocument(doc);
    return EXIT_OK;
}

// Line and column (both from 1) of a byte offset.
void lineAndColumn(const std::string& text, std::size_t offset,
                   unsigned long& line, unsigned long& column)
{
    line = 1;
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++line;
            lineStart = i + 1;
        }
    }
    column = static_cast<unsigned long>(offset - lineStart + 1);
}

// Reports the first difference between a page and what was written back.
void reportDifference(const std::string& path, const std::string& source,
                      const std::string& written)
{
    const std::size_t CONTEXT = 20;
    std::size_t limit = source.size() < written.size() ? source.size() : written.size();
    std::size_t at = 0;
    while (at < limit && source[at] == written[at])
        ++at;
    unsigned long line, column;
    lineAndColumn(source, at, line, column);
    std::printf("%s: differs at byte %lu (line %lu, column %lu); read %lu bytes, wrote %lu\n",
                path.c_str(), static_cast<unsigned long>(at), line, column,
                static_cast<unsigned long>(source.size()),
                static_cast<unsigned long>(written.size()));
    // The bytes before the difference (the same on both sides), then the
    // bytes from it on, each side quoted.
    std::size_t from = at > CONTEXT ? at - CONTEXT : 0;
    std::printf("  read:  \"%s\" \"%s\"\n", tool::escapeBytes(source, from, at).c_str(),
                tool::escapeBytes(source, at, at + CONTEXT).c_str());
    std::printf("  wrote: \"%s\" \"%s\"\n", tool::escapeBytes(written, from, at).c_str(),
                tool::escapeBytes(written, at, at + CONTEXT).c_str());
}

int runRoundtrip(const Options& opts)
{
    if (opts.operands.empty()) {
        complain("roundtrip needs at least one FILE (see pagedom --help)");
        return EXIT_USAGE;
    }
    // Standard input can be read once; a second "-" would be an empty page.
    if (std::count(opts.operands.begin(), opts.operands.end(), std::string("-")) > 1) {
        complain("standard input (-) can be given only once");
        return EXIT_USAGE;
    }
    bool unreadable = false;
    bool differs = false;
    for (const std::string& path : opts.operands) {
        std::string text;
        if (!readInput(path, text)) {
            unreadable = true;
            continue;
        }
        Document* doc = parsePage(opts, path, text);
        if (!doc) {
            complain("no document type available");
            return EXIT_INTERNAL;
        }
        // Written by the tree itself: an unchanged document's getSource
        // would hand back the very page it kept.
        std::string written = doc->getChildSource();
        releaseDocument(doc);
        const std::string shown = path == "-" ? "(standard input)" : path;
        if (written == text) {
            std::printf("%s: identical (%lu bytes)\n", shown.c_str(),
                        static_cast<unsigned long>(text.size()));
        } else {
            reportDifference(shown, text, written);
            differs = true;
        }
    }
    if (unreadable)
        return EXIT_USAGE;
    return differs ? EXIT_DIFFERS : EXIT_OK;
}

// Reads every FILE operand in turn and hands it to visit(path, text);
// false (after saying why) without operands, with "-" twice, or when a
// file cannot be read (the others are still visited).
template <class Visit>
bool forEachFile(const Options& opts, Visit visit)
{
    if (opts.operands.empty()) {
        complain(opts.command + " needs at least one FILE (see pagedom --help)");
        return false;
    }
    // Standard input can be read once; a second "-" would be an empty page.
    if (std::count(opts.operands.begin(), opts.operands.end(), std::string("-")) > 1) {
        complain("standard input (-) can be given only once");
        return false;
    }
    bool readable = true;
    for (const std::string& path : opts.operands) {
        std::string text;
        if (readInput(path, text))
            visit(path, text);
        else
            readable = false;
    }
    return readable;
}

// Reads every FILE operand into a new document and hands it to
// visit(document, shown name) before releasing it; internal is set when no
// document could be made.  What forEachFile returns.
template <class Visit>
bool forEachPage(const Options& opts, bool& internal, Visit visit)
{
    return forEachFile(opts, [&](const std::string& path, const std::string& text) {
        Document* doc = parsePage(opts, path, text);
        if (!doc) {
            internal = true;
            return;
        }
        visit(doc, path == "-" ? std::string("(standard input)") : path, path);
        releaseDocument(doc);
    });
}

int runCheck(const Options& opts)
{
    unsigned long errors = 0;
    unsigned long pagesWithErrors = 0;
    bool internal = false;
    const bool readable = forEachPage(opts, internal, [&](Document* doc, const std::string& shown, const std::string&) {
        const std::vector<DOMError>& list = doc->getErrorList();
        for (const DOMError& error : list)
            std::printf("%s:%lu: %s: %s\n", shown.c_str(), error.line, tool::nodeLabel(error.node).c_str(),
                        tool::errorWords(error.node->getErrorState()).c_str());
        errors += list.size();
        pagesWithErrors += list.empty() ? 0 : 1;
    });
    if (internal) {
        complain("no document type available");
        return EXIT_INTERNAL;
    }
    const unsigned long pages = static_cast<unsigned long>(opts.operands.size());
    std::printf("%lu error%s in %lu of %lu page%s\n", errors, errors == 1 ? "" : "s", pagesWithErrors, pages,
                pages == 1 ? "" : "s");
    if (!readable)
        return EXIT_USAGE;
    return pagesWithErrors ? EXIT_DIFFERS : EXIT_OK;
}

// Where fix writes the repaired page read from path: standard output
// (empty), the output file, or the page's own name in the output directory.
std::string fixedPagePath(const Options& opts, const std::string& path)
{
    if (!opts.outputGiven)
        return std::string();
    if (opts.operands.size() == 1)
        return opts.output;
    const std::string::size_type slash = path.find_last_of('/');
    return opts.output + "/" + (slash == std::string::npos ? path : path.substr(slash + 1));
}

bool writeFile(const std::string& path, const std::string& text)
{
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) {
        complain("cannot write " + path + ": " + std::strerror(errno));
        return false;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
    if (std::fclose(out) != 0 || !written) {
        complain("cannot write " + path + ": " + std::strerror(errno));
        return false;
    }
    return true;
}

int runFix(const Options& opts)
{
    if (opts.outputGiven && opts.operands.size() > 1 &&
        std::count(opts.operands.begin(), opts.operands.end(), std::string("-")) > 0) {
        complain("standard input (-) has no name to write it under in " + opts.output);
        return EXIT_USAGE;
    }
    bool internal = false;
    bool unwritable = false;
    bool remains = false;
    const bool readable = forEachPage(opts, internal, [&](Document* doc, const std::string& shown, const std::string& path) {
        {
            tool::RepairReport report(doc);
            doc->correctError(nullptr);
            if (opts.report)
                for (const std::string& line : report.lines())
                    std::fprintf(stderr, "%s:%s\n", shown.c_str(), line.c_str());
        }
        remains = remains || !doc->getErrorList().empty();
        const std::string source = doc->getSource();
        const std::string target = fixedPagePath(opts, path);
        if (target.empty() ? !writeOut(source) : !writeFile(target, source))
            unwritable = true;
    });
    if (internal) {
        complain("no document type available");
        return EXIT_INTERNAL;
    }
    if (!readable || unwritable)
        return EXIT_USAGE;
    return remains ? EXIT_DIFFERS : EXIT_OK;
}

int runDTD(const Options& opts)
{
    if (!expectOperands(opts, 1, "NAME"))
        return EXIT_USAGE;
    DOMImpl::setJSPVersion(opts.jspGiven ? opts.jsp : DOMImpl::JSP_NONE);
    const std::string& name = opts.operands[0];
    const DocumentType* type = name.empty() ? nullptr : DOMImpl::getDocumentType(name);
    if (!type) {
        complain("unknown document type '" + name +
                 "' (known: html, xml, vxml, jsp091, jsp10, qrtx)");
        return EXIT_USAGE;
    }
    std::string source = type->getSource();
    // The library writes CR LF line breaks; end the last line the same way.
    if (!source.empty() && source.back() != '\n')
        source += source.find("\r\n") != std::string::npos ? "\r\n" : "\n";
    return writeOut(source) ? EXIT_OK : EXIT_USAGE;
}

int runFormat(const Options& opts)
{
    std::string text;
    if (!readOnlyFile(opts, text))
        return EXIT_USAGE;
    const std::string& path = opts.operands[0];
    DOMImpl::FormatOption* format = DOMImpl::getFormatOption();
    if (opts.indentGiven)
        format->setIndent(opts.indent);
    if (opts.columnsGiven)
        format->setColumnLimit(opts.columns);
    if (opts.tagCase >= 0)
        format->setTagNameCaseType(static_cast<DOMImpl::FormatOption::CaseType>(opts.tagCase));
    if (opts.attrCase >= 0)
        format->setAttrNameCaseType(static_cast<DOMImpl::FormatOption::CaseType>(opts.attrCase));
    if (opts.valueCase >= 0)
        format->setAttrValueCaseType(static_cast<DOMImpl::FormatOption::CaseType>(opts.valueCase));
    Document* doc = parsePage(opts, path, text);
    if (!doc) {
        complain("no document type available");
        return EXIT_INTERNAL;
    }
    doc->formatSource();
    std::string source = doc->getSource();
    releaseDocument(doc);
    return writeOut(source) ? EXIT_OK : EXIT_USAGE;
}

int run(int argc, char** argv)
{
    Options opts;
    if (!parseArguments(argc, argv, opts))
        return EXIT_USAGE;
    if (opts.help || opts.command == "help") {
        usage(stdout);
        return EXIT_OK;
    }
    if (opts.version) {
        std::printf("pagedom %s\n", VERSION);
        return EXIT_OK;
    }
    if (opts.command.empty()) {
        complain("no command given (see pagedom --help)");
        return EXIT_USAGE;
    }
    if ((opts.report || opts.outputGiven) && opts.command != "fix") {
        complain("--report and --output apply only to the fix command");
        return EXIT_USAGE;
    }
    if (opts.formatting && opts.command != "format") {
        complain("the formatting options apply only to the format command");
        return EXIT_USAGE;
    }
    int status;
    if (opts.command == "tree") {
        status = runTree(opts);
    } else if (opts.command == "roundtrip") {
        status = runRoundtrip(opts);
    } else if (opts.command == "dtd") {
        status = runDTD(opts);
    } else if (opts.command == "format") {
        status = runFormat(opts);
    } else if (opts.command == "check") {
        status = runCheck(opts);
    } else if (opts.command == "fix") {
        status = runFix(opts);
    } else {
        complain("unknown command '" + opts.command + "' (see pagedom --help)");
        return EXIT_USAGE;
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        complain(std::string("cannot write output: ") + std::strerror(errno));
        return EXIT_USAGE;
    }
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    try {
        return run(argc, argv);
    } catch (const std::exception& e) {
        std::fflush(stdout);
        std::fprintf(stderr, "pagedom: internal error: %s\n", e.what());
    } catch (...) {
        std::fflush(stdout);
        std::fprintf(stderr, "pagedom: internal error\n");
    }
    return EXIT_INTERNAL;
}
