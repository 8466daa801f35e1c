// Where each element of an XML text lies, byte by byte, so that a file can be changed in a
// few places and left exactly as it was everywhere else. The text is taken as it is: no
// entity is expanded and nothing is changed; call it on text that an XML parser accepted.
//
//   <Run>\n  <Offset>00:00:00</Offset>\n  <Icon />\n</Run>
//   element 0 "Run":    Begin 0, OpenEnd 5, CloseBegin 51, End 57, children {1, 2}
//   element 1 "Offset": Begin 8, OpenEnd 16, CloseBegin 24, End 33   (content "00:00:00")
//   element 2 "Icon":   Begin 36, OpenEnd 44 = CloseBegin = End, SelfClosing
//
// Comments, CDATA sections, processing instructions and a byte-order mark are passed over.
// Text that does not nest (which a parser would have refused) throws FormatError, as does
// nesting deeper than kMaxNesting.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

struct XmlElement {
    std::string_view Name;
    std::size_t Begin = 0;       // the '<' of the opening tag
    std::size_t OpenEnd = 0;     // just after the opening tag's '>'
    std::size_t CloseBegin = 0;  // the '<' of the closing tag; OpenEnd when self-closing
    std::size_t End = 0;         // just after the closing tag's '>'; OpenEnd when self-closing
    bool SelfClosing = false;
    std::size_t LeadBegin = 0;  // the end of the sibling before it, or of the parent's opening tag
    std::size_t Parent = 0;     // the index of the parent; the element's own for the root
    std::vector<std::size_t> Children;
};

class XmlRanges {
  public:
    explicit XmlRanges(std::string_view text);

    const std::vector<XmlElement>& Elements() const { return elements_; }
    const XmlElement& At(std::size_t index) const { return elements_[index]; }
    // The root element's index, 0; there is none in a text without elements.
    bool Empty() const { return elements_.empty(); }

    // The first child of parent named name, or nothing.
    const XmlElement* Child(const XmlElement& parent, std::string_view name) const;
    // Every child of parent named name, in order.
    std::vector<const XmlElement*> Children(const XmlElement& parent, std::string_view name) const;

    std::string_view Text() const { return text_; }
    // What lies between the tags: "00:00:00" for Offset above; "" when self-closing.
    std::string_view Content(const XmlElement& element) const;
    std::string_view Whole(const XmlElement& element) const;
    std::string_view OpeningTag(const XmlElement& element) const;
    // The text between the element and the sibling (or the parent's opening tag) before it:
    // "\n  " for Icon above.
    std::string_view Before(const XmlElement& element) const;
    // The blanks at the start of the element's line, "  " for Icon above ("" when the line
    // holds more than blanks before it).
    std::string_view Indent(const XmlElement& element) const;

  private:
    std::string_view text_;
    std::vector<XmlElement> elements_;
};
