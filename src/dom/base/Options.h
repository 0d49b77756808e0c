#ifndef PAGEDOM_BASE_OPTIONS_H
#define PAGEDOM_BASE_OPTIONS_H

// The process-wide option values every layer reads: the JSP syntax levels,
// the markup extension switch, the formatting options and the host's code
// page.  DOMImpl derives from this class, so a host reaches all of them as
// DOMImpl members; the values are set between documents and only read while
// documents are being read or written.
class DOMOptions {
public:
    // The JSP syntax a document type follows.
    enum JSPVersion : unsigned int {
        JSP_NONE = 0,
        JSP_091 = 91,
        JSP_10 = 100
    };

    // Whether the "<!%SUBMIT" markup form is read.
    enum MWVersion : unsigned int {
        MW_NONE = 0,
        MW_100 = 100
    };

    // Source formatting options, changed in place through getFormatOption().
    class FormatOption {
    public:
        enum CaseType : unsigned int {
            CASE_UPPER = 0,
            CASE_LOWER = 1,
            CASE_AS_IS = 2
        };

        // Spaces per nesting level when a formatted text is indented.
        unsigned long getIndent() const { return _indent; }
        void setIndent(unsigned long indent) { _indent = indent; }
        // The column past which a regenerated text is wrapped at a space.
        unsigned long getColumnLimit() const { return _columnLimit; }
        void setColumnLimit(unsigned long limit) { _columnLimit = limit; }
        // The case regenerated tag names are written in.
        CaseType getTagNameCaseType() const { return _tagNameCase; }
        void setTagNameCaseType(CaseType type) { _tagNameCase = type; }
        // The case regenerated declared attribute names are written in.
        CaseType getAttrNameCaseType() const { return _attrNameCase; }
        void setAttrNameCaseType(CaseType type) { _attrNameCase = type; }
        // The case regenerated enumerated attribute values are written in.
        CaseType getAttrValueCaseType() const { return _attrValueCase; }
        void setAttrValueCaseType(CaseType type) { _attrValueCase = type; }

    private:
        unsigned long _indent = 2;
        unsigned long _columnLimit = 70;
        CaseType _tagNameCase = CASE_AS_IS;
        CaseType _attrNameCase = CASE_AS_IS;
        CaseType _attrValueCase = CASE_AS_IS;
    };

    // The formatting options, changed in place.
    static FormatOption* getFormatOption();
    // The code page of the host's byte strings (1252 is the one known
    // specially); 0 until set.
    static int getCodePage();
    static void setCodePage(int codePage);
    // Whether the "<!%SUBMIT" form is read; MW_NONE until set.
    static MWVersion getMWVersion();
    static void setMWVersion(MWVersion version);

protected:
    DOMOptions() {}
};

#endif
