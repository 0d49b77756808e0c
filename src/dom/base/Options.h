// The process-wide option values every layer reads: JSP syntax level, markup
// extension switch, formatting options and the host's code page.
#ifndef PAGEDOM_BASE_OPTIONS_H
#define PAGEDOM_BASE_OPTIONS_H

// The process-wide option values every layer reads: the JSP syntax levels,
// the markup extension switch, the formatting options and the host's code
// page.  DOMImpl derives from this class, so a host reaches all of them as
// DOMImpl members; the values are set between documents and only read while
// documents are being read or written.  They are plain values, read without
// synchronisation: a host that works on several threads sets them while no
// other thread is using the library.
class DOMOptions {
public:
    // The JSP syntax a document type follows.
    enum JSPVersion : unsigned int {
        // No JSP extensions.
        JSP_NONE = 0,
        // JSP 0.91 syntax.
        JSP_091 = 91,
        // JSP 1.0 syntax.
        JSP_10 = 100
    };

    // Whether the "<!%SUBMIT" markup form is read.
    enum MWVersion : unsigned int {
        // The form is not read.
        MW_NONE = 0,
        // The form is read.
        MW_100 = 100
    };

    // Source formatting options, changed in place through getFormatOption().
    class FormatOption {
    public:
        // How regenerated names and values are cased.
        enum CaseType : unsigned int {
            // ASCII a to z become A to Z.
            CASE_UPPER = 0,
            // ASCII A to Z become a to z.
            CASE_LOWER = 1,
            // Left as written.
            CASE_AS_IS = 2
        };

        // Spaces per nesting level when a formatted text is indented.
        unsigned long getIndent() const { return _indent; }
        // Sets the spaces per nesting level.
        void setIndent(unsigned long indent) { _indent = indent; }
        // The column past which a regenerated text is wrapped at a space.
        unsigned long getColumnLimit() const { return _columnLimit; }
        // Sets the wrapping column.
        void setColumnLimit(unsigned long limit) { _columnLimit = limit; }
        // The case regenerated tag names are written in.
        CaseType getTagNameCaseType() const { return _tagNameCase; }
        // Sets the case of regenerated tag names.
        void setTagNameCaseType(CaseType type) { _tagNameCase = type; }
        // The case regenerated declared attribute names are written in.
        CaseType getAttrNameCaseType() const { return _attrNameCase; }
        // Sets the case of regenerated declared attribute names.
        void setAttrNameCaseType(CaseType type) { _attrNameCase = type; }
        // The case regenerated enumerated attribute values are written in.
        CaseType getAttrValueCaseType() const { return _attrValueCase; }
        // Sets the case of regenerated enumerated attribute values.
        void setAttrValueCaseType(CaseType type) { _attrValueCase = type; }

    private:
        static constexpr unsigned long DEFAULT_INDENT = 2;
        static constexpr unsigned long DEFAULT_COLUMN_LIMIT = 70;

        unsigned long _indent = DEFAULT_INDENT;
        unsigned long _columnLimit = DEFAULT_COLUMN_LIMIT;
        CaseType _tagNameCase = CASE_AS_IS;
        CaseType _attrNameCase = CASE_AS_IS;
        CaseType _attrValueCase = CASE_AS_IS;
    };

    // The formatting options, changed in place.
    static FormatOption* getFormatOption();
    // The code page of the host's byte strings (1252 is the one known
    // specially); 0 until set.
    static int getCodePage();
    // Sets the code page of the host's byte strings.
    static void setCodePage(int codePage);
    // Whether the "<!%SUBMIT" form is read; MW_NONE until set.
    static MWVersion getMWVersion();
    // Sets whether the "<!%SUBMIT" form is read.
    static void setMWVersion(MWVersion version);

protected:
    DOMOptions() {}
};

#endif
