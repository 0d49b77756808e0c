#!/usr/bin/env python3
"""Generate src/dom/doctype/HTMLDTDText.cpp, the HTML DTD compiled into pagedom.

The text is built from the W3C HTML 4.0 Transitional and Frameset DTDs and the
HTML 4 character entity sets as installed by the Debian package w3c-sgml-lib:

    apt-get install -y w3c-sgml-lib
    tools/gen_html_dtd.py            # rewrite the generated source
    tools/gen_html_dtd.py --check    # exit 1 if the committed source is stale

Both modes exit 2 when the W3C files are missing or not as expected.

The W3C files are stripped of comments and blank runs, the external entity
sets are written inline, and the library's own parameter entities, attributes
and element declarations are added (see CHANGES below).  The output depends
only on the input files, so running the script twice gives the same bytes.
"""

import argparse
import os
import re
import sys

DEFAULT_SGML_LIB = "/usr/share/xml/w3c-sgml-lib/schema/dtd"
HTML40_DIR = "REC-html40-19980424"
# The HTML 4.0 entity sets are not shipped by the package; the 4.01 sets
# declare the same 252 entities with the same values.
ENTITY_DIR = "REC-html401-19991224"
ENTITY_SETS = [
    ("HTMLlat1", "HTMLlat1.ent", 96),
    ("HTMLsymbol", "HTMLsymbol.ent", 124),
    ("HTMLspecial", "HTMLspecial.ent", 32),
]

LIBRARY_PUBLIC_ID = "-//ZEB//DTD ZEB Version 4.0//EN"
CHANGE_DATE = "2026-12-05"

SCRIPT_DIR = os.path.dirname(os.path.abspath(__file__))
DEFAULT_OUTPUT = os.path.join(SCRIPT_DIR, "..", "src", "dom", "doctype", "HTMLDTDText.cpp")

# Attributes added at the end of standard attribute-list declarations, keyed
# by the name (or name group) the W3C declaration is written with.
ADDED_ATTRIBUTES = {
    "A": ["directkey %Character; #IMPLIED",
          "telbook %Character; #IMPLIED",
          "kana %Character; #IMPLIED",
          "email %Character; #IMPLIED",
          "ijam %Character; #IMPLIED",
          "utn (utn) #IMPLIED"],
    "IMG": ["mapfile %URI; #IMPLIED"],
    "APPLET": ["mayscript (mayscript) #IMPLIED"],
    "FORM": ["utn (utn) #IMPLIED"],
    "INPUT": ["istyle CDATA #IMPLIED"],
    "TEXTAREA": ["istyle CDATA #IMPLIED"],
    "TABLE": ["height %Pixels; #IMPLIED",
              "background %URI; #IMPLIED"],
    "TR": ["background %URI; #IMPLIED"],
    "(TH|TD)": ["background %URI; #IMPLIED"],
}

# Element declarations appended after the last W3C declaration (HTML):
# name, omission flags, content model, attribute definitions.
APPENDED_ELEMENTS = [
    ("EMBED", "- O", "(NOEMBED)", [
        "%coreattrs;", "%events;",
        "src %URI; #REQUIRED",
        "height %Length; #IMPLIED",
        "width %Length; #IMPLIED",
        "align %IAlign; #IMPLIED",
        "hspace %Pixels; #IMPLIED",
        "vspace %Pixels; #IMPLIED",
        "loop CDATA #IMPLIED",
        "hidden CDATA #IMPLIED",
        "volume CDATA #IMPLIED",
        "autostart (true|false) #IMPLIED",
        "autoplay (true|false) #IMPLIED",
        "autosize (true|false) #IMPLIED",
        "controller (true|false) true",
        "scale CDATA #IMPLIED",
        "showcontrols (true|false) #IMPLIED",
        "playcount NUMBER #IMPLIED",
        "repeat CDATA #IMPLIED",
        "panel CDATA #IMPLIED",
        "text CDATA #IMPLIED",
        "palette CDATA #IMPLIED",
        "textfocus CDATA #IMPLIED",
        "type CDATA #IMPLIED"]),
    ("NOEMBED", "- -", "(%flow;)*", ["%coreattrs;"]),
    ("XRV", "- -", "(%inline;)*", [
        "macro CDATA #IMPLIED",
        "type CDATA #IMPLIED"]),
    ("SUBMIT", "- O", "EMPTY", [
        "capture CDATA #IMPLIED",
        "img %URI; #IMPLIED",
        "onclick CDATA #IMPLIED"]),
    ("MARQUEE", "- -", "(%flow;)*", [
        "%attrs;",
        "behavior (scroll|slide|alternate) scroll",
        "bgcolor %Color; #IMPLIED",
        "direction (left|right|up|down) left",
        "height CDATA #IMPLIED",
        "hspace NUMBER #IMPLIED",
        "loop CDATA #IMPLIED",
        "scrollamount NUMBER #IMPLIED",
        "scrolldelay NUMBER #IMPLIED",
        "vspace NUMBER #IMPLIED",
        "width CDATA #IMPLIED",
        "truespeed (truespeed) #IMPLIED"]),
    ("ssi:config", "- O", "EMPTY", [
        "errmsg CDATA #IMPLIED",
        "sizefmt CDATA #IMPLIED",
        "timefmt CDATA #IMPLIED"]),
    ("ssi:echo", "- O", "EMPTY", ["var CDATA #IMPLIED"]),
    ("ssi:exec", "- O", "EMPTY", [
        "cgi %URI; #IMPLIED",
        "cmd CDATA #IMPLIED"]),
    ("ssi:fsize", "- O", "EMPTY", [
        "file %URI; #IMPLIED",
        "virtual %URI; #IMPLIED"]),
    ("ssi:flastmod", "- O", "EMPTY", [
        "file %URI; #IMPLIED",
        "virtual %URI; #IMPLIED"]),
    ("ssi:include", "- O", "EMPTY", [
        "file %URI; #IMPLIED",
        "virtual %URI; #IMPLIED"]),
    ("ssi:printenv", "- O", "EMPTY", []),
    ("ssi:set", "- O", "EMPTY", [
        "var CDATA #IMPLIED",
        "value CDATA #IMPLIED"]),
]

CHANGES = """\
Changes made to the W3C files ({date}):
  - all comments and redundant white space removed; the Frameset driver
    and the Transitional DTD joined into one text, the three character
    entity sets written inline in place of their external references;
  - the text opens with the library's parameter entities, which win over
    the W3C definitions kept after them:
      the public identifier "{public_id}";
      html.content "HEAD, (FRAMESET|BODY)";
      special extended with EMBED, MARQUEE, XRV, SUBMIT and QRTX:TEXT,
      pre.exclusion with EMBED, fontstyle with BLINK;
      HTML.Frameset "INCLUDE";
      the value-type keywords URI, EVENT (for Script) and COLOR;
      inline "#INLINE" and flow "#FLOW";
      no reserved attributes;
  - SCRIPT and STYLE declared with CDATA content;
  - element names in content models written in upper case (the W3C text
    declares COLGROUP with "(col)*");
  - attributes added to A, IMG, APPLET, FORM, INPUT, TEXTAREA, TABLE, TR,
    TH and TD;
  - element declarations EMBED, NOEMBED, XRV, SUBMIT, MARQUEE, ssi:config,
    ssi:echo, ssi:exec, ssi:fsize, ssi:flastmod, ssi:include, ssi:printenv
    and ssi:set appended.""".format(date=CHANGE_DATE, public_id=LIBRARY_PUBLIC_ID)

W3C_NOTICE = """\
Copyright (c) 1994-2002 World Wide Web Consortium, (Massachusetts Institute
of Technology, Institut National de Recherche en Informatique et en
Automatique, Keio University). All Rights Reserved.
http://www.w3.org/Consortium/Legal/

This W3C work (including software, documents, or other related items) is
being provided by the copyright holders under the following license. By
obtaining, using and/or copying this work, you (the licensee) agree that you
have read, understood, and will comply with the following terms and
conditions:

Permission to use, copy, modify, and distribute this software and its
documentation, with or without modification, for any purpose and without fee
or royalty is hereby granted, provided that you include the following on ALL
copies of the software and documentation or portions thereof, including
modifications, that you make:
  * The full text of this NOTICE in a location viewable to users of the
    redistributed or derivative work.
  * Any pre-existing intellectual property disclaimers, notices, or terms
    and conditions. If none exist, a short notice of the following form
    (hypertext is preferred, text is permitted) should be used within the
    body of any redistributed or derivative code: "Copyright (c)
    [$date-of-software] World Wide Web Consortium, (Massachusetts Institute
    of Technology, Institut National de Recherche en Informatique et en
    Automatique, Keio University). All Rights Reserved.
    http://www.w3.org/Consortium/Legal/"
  * Notice of any changes or modifications to the W3C files, including the
    date changes were made. (We recommend you provide URIs to the location
    from which the code is derived.)

THIS SOFTWARE AND DOCUMENTATION IS PROVIDED "AS IS," AND COPYRIGHT HOLDERS
MAKE NO REPRESENTATIONS OR WARRANTIES, EXPRESS OR IMPLIED, INCLUDING BUT NOT
LIMITED TO, WARRANTIES OF MERCHANTABILITY OR FITNESS FOR ANY PARTICULAR
PURPOSE OR THAT THE USE OF THE SOFTWARE OR DOCUMENTATION WILL NOT INFRINGE
ANY THIRD PARTY PATENTS, COPYRIGHTS, TRADEMARKS OR OTHER RIGHTS.

COPYRIGHT HOLDERS WILL NOT BE LIABLE FOR ANY DIRECT, INDIRECT, SPECIAL OR
CONSEQUENTIAL DAMAGES ARISING OUT OF ANY USE OF THE SOFTWARE OR
DOCUMENTATION.

The name and trademarks of copyright holders may NOT be used in advertising
or publicity pertaining to the software without specific, written prior
permission. Title to copyright in this software and any associated
documentation will at all times remain with copyright holders.

The character entity sets carry this notice:
  Portions (C) International Organization for Standardization 1986
  Permission to copy in any form is granted for use with
  conforming SGML systems and applications as defined in
  ISO 8879, provided this notice is included in all copies."""

SOURCES = """\
Derived from:
  http://www.w3.org/TR/1998/REC-html40-19980424/loose.dtd
  http://www.w3.org/TR/1998/REC-html40-19980424/frameset.dtd
  http://www.w3.org/TR/1999/REC-html401-19991224/HTMLlat1.ent
  http://www.w3.org/TR/1999/REC-html401-19991224/HTMLsymbol.ent
  http://www.w3.org/TR/1999/REC-html401-19991224/HTMLspecial.ent"""


class DTDError(Exception):
    pass


WHITE = " \t\n\r\f\v"


def _collapse(text):
    return " ".join(text.split())


def _strip_literal_comments(text):
    # Parameter literals such as %coreattrs; carry "-- ... --" comments that
    # become part of the declarations they are expanded into.
    out = []
    i = 0
    while True:
        start = text.find("--", i)
        if start < 0:
            out.append(text[i:])
            break
        end = text.find("--", start + 2)
        if end < 0:
            raise DTDError("unterminated comment in literal: %r" % text)
        out.append(text[i:start])
        out.append(" ")
        i = end + 2
    return _collapse("".join(out))


def _read_declaration(text, i):
    """Read the markup declaration that starts with '<!' at text[i].

    Returns the declaration with its comments removed and its blank runs
    collapsed (None for a comment declaration), and the index after its '>'."""
    n = len(text)
    j = i + 2
    parts = ["<!"]
    is_parameter_entity = re.compile(r"ENTITY\s+%\s").match(text, j) is not None
    only_comments = True
    while j < n:
        c = text[j]
        if text.startswith("--", j):
            end = text.find("--", j + 2)
            if end < 0:
                raise DTDError("unterminated comment at offset %d" % j)
            parts.append(" ")
            j = end + 2
            continue
        if c == ">":
            j += 1
            break
        only_comments = only_comments and c in WHITE
        if c in "\"'":
            end = text.find(c, j + 1)
            if end < 0:
                raise DTDError("unterminated literal at offset %d" % j)
            body = text[j + 1:end]
            if is_parameter_entity:
                body = _strip_literal_comments(body)
            parts.append(c + body + c)
            j = end + 1
            continue
        parts.append(c)
        j += 1
    else:
        raise DTDError("unterminated declaration at offset %d" % i)
    if only_comments:
        return None, j
    decl = _collapse("".join(parts))
    return decl + ">", j


def tokenize(text):
    """Split a DTD file into ('decl', text), ('open', keyword), ('close',)
    and ('ref', name) items, dropping comments and white space."""
    items = []
    i = 0
    n = len(text)
    while i < n:
        c = text[i]
        if c in WHITE:
            i += 1
        elif text.startswith("<![", i):
            end = text.find("[", i + 3)
            if end < 0:
                raise DTDError("unterminated marked section at offset %d" % i)
            items.append(("open", _collapse(text[i + 3:end])))
            i = end + 1
        elif text.startswith("]]>", i):
            items.append(("close",))
            i += 3
        elif text.startswith("<!", i):
            decl, i = _read_declaration(text, i)
            if decl is not None:
                items.append(("decl", decl))
        elif c == "%":
            m = re.compile(r"%([^;\s>]+);?").match(text, i)
            if not m:
                raise DTDError("unexpected %% at offset %d" % i)
            items.append(("ref", m.group(1)))
            i = m.end()
        else:
            raise DTDError("unexpected %r at offset %d" % (c, i))
    return items


def decl_kind(decl):
    """('ELEMENT' | 'ATTLIST' | 'ENTITY' | 'PENTITY', name) of a declaration."""
    words = decl[2:-1].split(" ")
    if words[0] == "ENTITY" and words[1] == "%":
        return "PENTITY", words[2]
    if words[0] in ("ELEMENT", "ATTLIST", "ENTITY"):
        return words[0], words[1]
    return words[0], ""


def literal_value(decl):
    m = re.search(r'"([^"]*)"', decl)
    if not m:
        raise DTDError("no literal in %s" % decl)
    return m.group(1)


# A name in a declaration that is neither a parameter-entity reference
# ("%inline;") nor a reserved word ("#PCDATA"): an element name.
ELEMENT_NAME = re.compile(r"(?<![%#\w.:-])[A-Za-z][\w.:-]*")


def upper_case_model_names(decl):
    """The element declaration with every element name in upper case.

    The W3C text writes one content model in lower case ("COLGROUP - O
    (col)*"); the library's DTD reader matches content-model names exactly,
    and every other declaration spells them in upper case."""
    head = "<!ELEMENT "
    if not decl.startswith(head):
        raise DTDError("not an element declaration: %s" % decl)
    body = ELEMENT_NAME.sub(lambda m: m.group(0).upper(), decl[len(head):])
    return head + body


def parameter_entity(name, value):
    return '<!ENTITY %% %s "%s">' % (name, value)


def read_file(path):
    with open(path, "r", encoding="latin-1") as f:
        return f.read()


def find_pentity(items, name):
    for item in items:
        if item[0] == "decl" and decl_kind(item[1]) == ("PENTITY", name):
            return item[1]
    raise DTDError("no parameter entity %s" % name)


def build_text(sgml_lib):
    loose = tokenize(read_file(os.path.join(sgml_lib, HTML40_DIR, "loose.dtd")))
    frameset = tokenize(read_file(os.path.join(sgml_lib, HTML40_DIR, "frameset.dtd")))

    entity_sets = {}
    for name, filename, count in ENTITY_SETS:
        decls = [item[1] for item in tokenize(read_file(os.path.join(sgml_lib, ENTITY_DIR, filename)))
                 if item[0] == "decl"]
        for decl in decls:
            if not re.fullmatch(r'<!ENTITY [A-Za-z0-9]+ CDATA "&#[0-9]+;">', decl):
                raise DTDError("unexpected entity declaration %s" % decl)
        if len(decls) != count:
            raise DTDError("%s declares %d entities, expected %d" % (filename, len(decls), count))
        entity_sets[name] = decls

    # The frameset driver: its version string, its feature switch, and the
    # reference that pulls in the Transitional DTD.
    frameset_version = find_pentity(frameset, "HTML.Version")
    frameset_switch = find_pentity(frameset, "HTML.Frameset")
    if literal_value(frameset_switch) != "INCLUDE":
        raise DTDError("unexpected frameset switch %s" % frameset_switch)
    transitional_version = find_pentity(loose, "HTML.Version")

    special = literal_value(find_pentity(loose, "special"))
    pre_exclusion = literal_value(find_pentity(loose, "pre.exclusion"))
    fontstyle = literal_value(find_pentity(loose, "fontstyle"))

    prelude = [
        parameter_entity("HTML.Version", LIBRARY_PUBLIC_ID),
        parameter_entity("html.content", "HEAD, (FRAMESET|BODY)"),
        parameter_entity("special.w3c", special),
        parameter_entity("pre.exclusion.w3c", pre_exclusion),
        parameter_entity("special", "%special.w3c; | EMBED | MARQUEE | XRV | SUBMIT | QRTX:TEXT"),
        parameter_entity("pre.exclusion", "%pre.exclusion.w3c; | EMBED"),
        frameset_version,
        transitional_version,
        frameset_switch,
        parameter_entity("URI", "URI"),
        parameter_entity("Script", "EVENT"),
        parameter_entity("Color", "COLOR"),
        parameter_entity("inline", "#INLINE"),
        parameter_entity("flow", "#FLOW"),
        parameter_entity("fontstyle", fontstyle + " | BLINK"),
        parameter_entity("HTML.Reserved", "IGNORE"),
        parameter_entity("reserved", ""),
    ]

    lines = list(prelude)
    added = dict(ADDED_ATTRIBUTES)
    cdata_models = {"SCRIPT": "%Script;", "STYLE": "%StyleSheet"}
    for item in loose:
        if item[0] == "open":
            lines.append("<![ %s [" % item[1])
        elif item[0] == "close":
            lines.append("]]>")
        elif item[0] == "ref":
            if item[1] not in entity_sets:
                raise DTDError("unexpected reference %%%s;" % item[1])
            lines.extend(entity_sets.pop(item[1]))
        else:
            decl = item[1]
            kind, name = decl_kind(decl)
            if kind == "PENTITY" and name in entity_sets:
                continue  # the external entity set itself, written inline instead
            if kind == "ELEMENT" and name in cdata_models:
                model = cdata_models.pop(name)
                prefix = "<!ELEMENT %s - - " % name
                if decl != prefix + model + ">":
                    raise DTDError("unexpected declaration %s" % decl)
                decl = prefix + "CDATA>"
            if kind == "ELEMENT":
                decl = upper_case_model_names(decl)
            if kind == "ATTLIST" and name in added:
                decl = decl[:-1] + " " + " ".join(added.pop(name)) + ">"
            lines.append(decl)
    if entity_sets or added or cdata_models:
        raise DTDError("not found in the DTD: %s" % sorted(list(entity_sets) + list(added) + list(cdata_models)))
    if lines[-1] != "<!ATTLIST HTML %i18n; %version;>":
        raise DTDError("the DTD does not end with the HTML attribute list: %s" % lines[-1])

    for name, omission, model, attributes in APPENDED_ELEMENTS:
        lines.append("<!ELEMENT %s %s %s>" % (name, omission, model))
        if attributes:
            lines.append("<!ATTLIST %s %s>" % (name, " ".join(attributes)))

    text = "".join(line + "\n" for line in lines)
    verify_text(text)
    return text


def verify_text(text):
    """Check what the library's DTD reader relies on: every parameter-entity
    reference is declared earlier in the text, no comment is left, and the
    marked sections balance."""
    if "--" in text:
        raise DTDError("a comment is left in the text")
    declared = set()
    depth = 0
    for line in text.splitlines():
        for m in re.finditer(r"%([^\s;>]+)", line):
            if m.group(1).lower() not in declared:
                raise DTDError("%%%s; used before its declaration: %s" % (m.group(1), line))
        m = re.match(r"<!ENTITY % (\S+) ", line)
        if m:
            declared.add(m.group(1).lower())
        if line.startswith("<!["):
            depth += 1
        elif line == "]]>":
            depth -= 1
            if depth < 0:
                raise DTDError("unbalanced marked section")
    if depth != 0:
        raise DTDError("unbalanced marked section")
    if any(ord(c) > 126 for c in text):
        raise DTDError("the text is not plain ASCII")


def c_string_line(line):
    escaped = line.replace("\\", "\\\\").replace('"', '\\"').replace("??", '?""?')
    return '    "%s\\n"' % escaped


def render_cpp(text):
    out = []
    out.append("// The HTML DTD text compiled into the library, from which the built-in HTML")
    out.append("// document type is read, so that the library needs no DTD file at run time.")
    out.append("//")
    out.append("// Generated by tools/gen_html_dtd.py from the W3C HTML 4.0 DTDs; do not edit.")
    out.append("// Regenerate with: tools/gen_html_dtd.py   (check with --check)")
    out.append("/*")
    for block in (SOURCES, CHANGES, W3C_NOTICE):
        out.append("")
        out.extend(("  " + l).rstrip() for l in block.splitlines())
    out.append("*/")
    out.append("")
    out.append('#include "doctype/HTMLDTDText.h"')
    out.append("")
    out.append("namespace pagedom {")
    out.append("")
    out.append("const char* const HTML_DTD_TEXT =")
    lines = text.splitlines()
    for index, line in enumerate(lines):
        out.append(c_string_line(line) + (";" if index == len(lines) - 1 else ""))
    out.append("")
    out.append("const unsigned int HTML_DTD_TEXT_LENGTH = %d;" % len(text.encode("ascii")))
    out.append("")
    out.append("} // namespace pagedom")
    return "\n".join(out) + "\n"


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--sgml-lib", default=DEFAULT_SGML_LIB,
                        help="directory of the W3C SGML library (default: %(default)s)")
    parser.add_argument("--output", default=os.path.normpath(DEFAULT_OUTPUT),
                        help="generated source file (default: %(default)s)")
    parser.add_argument("--check", action="store_true",
                        help="do not write; exit 1 if the output file differs from a fresh run")
    parser.add_argument("--print-text", action="store_true",
                        help="write the DTD text itself to standard output")
    args = parser.parse_args(argv)

    try:
        text = build_text(args.sgml_lib)
    except (OSError, DTDError) as error:
        print("gen_html_dtd: %s" % error, file=sys.stderr)
        return 2
    if args.print_text:
        sys.stdout.write(text)
        return 0
    source = render_cpp(text)
    if args.check:
        try:
            with open(args.output, "r", encoding="ascii", newline="") as f:
                current = f.read()
        except OSError as error:
            print("gen_html_dtd: %s" % error, file=sys.stderr)
            return 1
        if current != source:
            print("gen_html_dtd: %s is out of date; run tools/gen_html_dtd.py" % args.output,
                  file=sys.stderr)
            return 1
        return 0
    with open(args.output, "w", encoding="ascii", newline="\n") as f:
        f.write(source)
    print("gen_html_dtd: wrote %s (%d bytes of DTD text)" % (args.output, len(text)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
