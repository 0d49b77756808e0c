// The comment node: an HTML or a JSP comment and its source text.
#ifndef PAGEDOM_TREE_COMMENT_H
#define PAGEDOM_TREE_COMMENT_H

#include "tree/CharacterData.h"

// An HTML comment ("<!--" ... "-->") or a JSP comment ("<%--" ... "--%>").
class Comment : public CharacterData {
public:
    // "#comment".
    static const std::string NODE_NAME;
    // "<!--".
    static const std::string OPEN_TAG;
    // "-->".
    static const std::string CLOSE_TAG;
    // "<%--".
    static const std::string JSP_OPEN_TAG;
    // "--%>".
    static const std::string JSP_CLOSE_TAG;
    // "--", the key of a comment declaration.
    static const std::string DECL_KEY;

    // An HTML comment holding data.
    Comment(Document* ownerDocument, const std::string& data);

    // "#comment".
    std::string getNodeName() const override;
    // COMMENT_NODE.
    unsigned short getNodeType() const override;
    // A copy with the data, source and form, without parent.
    Node* cloneNode(bool deep) const override;
    // Always true: a comment never counts as content.
    bool isTrivialNode() const override;
    // The stored source, produced again from the data when pending.
    std::string getSource() const override;
    // Asks for the source to be produced again and marks the node changed.
    void formatSource() override;
    // Replaces the data as an announced modification and reformats.
    void setData(const std::string& data) override;

    // Whether the comment is written in the JSP form.
    bool isJSPFormat() const { return _jspFormat; }
    // Switches between the HTML and the JSP form; a change is an announced
    // modification that reformats.
    void setJSPFormat(bool on);
    // Stores source as the comment's source text (an announced modification).
    void setSource(const std::string& source);

    // Comment data with its dashes made safe: no "--" run and no trailing
    // dash that would end the comment early.
    static std::string makeSafeData(const std::string& data);

protected:
    // A copy of other without parent (see cloneNode).
    Comment(const Comment& other) = default;

private:
    void _regenerateSource() override;
    void _writeStart(std::string& out) const override;
    // The stored source, written whole.
    WholeText _wholeText(std::string_view& text, const char*& blockEnd) const override;
    // The stored source, produced again from the data first when pending.
    const std::string& _producedSource() const;

    mutable std::string _source;
    mutable bool _formatPending = true;
    bool _jspFormat = false;
};

#endif
