#include "XmlRanges.h"

#include <string>

#include "ConvertReport.h"
#include "FormatLimits.h"

namespace {

bool IsNameEnd(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '/' || c == '>';
}

}  // namespace

XmlRanges::XmlRanges(std::string_view text) : text_(text) {
    const auto fail = [&](std::size_t at, const char* what) {
        throw FormatError(LineAt(text, at), what);
    };
    // The end of the construct starting at `at` that closes with `close`.
    const auto skipTo = [&](std::size_t at, std::string_view close) {
        const std::size_t found = text.find(close, at);
        if (found == std::string_view::npos) {
            fail(at, "unclosed markup");
        }
        return found + close.size();
    };
    std::vector<std::size_t> open;
    std::size_t at = text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    while (at < text.size()) {
        const std::size_t lt = text.find('<', at);
        if (lt == std::string_view::npos) {
            break;
        }
        const std::string_view rest = text.substr(lt);
        if (rest.starts_with("<!--")) {
            at = skipTo(lt + 4, "-->");
        } else if (rest.starts_with("<![CDATA[")) {
            at = skipTo(lt + 9, "]]>");
        } else if (rest.starts_with("<?")) {
            at = skipTo(lt + 2, "?>");
        } else if (rest.starts_with("<!")) {
            at = skipTo(lt + 2, ">");
        } else if (rest.starts_with("</")) {
            const std::size_t end = skipTo(lt + 2, ">");
            std::size_t nameEnd = lt + 2;
            while (nameEnd < end - 1 && !IsNameEnd(text[nameEnd])) {
                ++nameEnd;
            }
            if (open.empty() ||
                elements_[open.back()].Name != text.substr(lt + 2, nameEnd - lt - 2)) {
                fail(lt, "a closing tag that closes no open element");
            }
            XmlElement& element = elements_[open.back()];
            element.CloseBegin = lt;
            element.End = end;
            open.pop_back();
            at = end;
        } else {
            std::size_t nameEnd = lt + 1;
            while (nameEnd < text.size() && !IsNameEnd(text[nameEnd])) {
                ++nameEnd;
            }
            // The tag ends at the first '>' outside a quoted attribute value.
            std::size_t end = nameEnd;
            char quote = 0;
            for (; end < text.size(); ++end) {
                const char c = text[end];
                if (quote != 0) {
                    quote = c == quote ? 0 : quote;
                } else if (c == '"' || c == '\'') {
                    quote = c;
                } else if (c == '>') {
                    break;
                }
            }
            if (end >= text.size() || nameEnd == lt + 1) {
                fail(lt, "an unclosed tag");
            }
            if (open.empty() && !elements_.empty()) {
                fail(lt, "a second root element");
            }
            if (open.size() >= static_cast<std::size_t>(kMaxNesting)) {
                fail(lt, "elements nested too deeply");
            }
            XmlElement element;
            element.Name = text.substr(lt + 1, nameEnd - lt - 1);
            element.Begin = lt;
            element.OpenEnd = end + 1;
            element.SelfClosing = text[end - 1] == '/';
            element.CloseBegin = element.End = element.OpenEnd;
            element.Parent = open.empty() ? elements_.size() : open.back();
            const std::size_t index = elements_.size();
            if (!open.empty()) {
                XmlElement& parent = elements_[open.back()];
                element.LeadBegin = parent.Children.empty() ? parent.OpenEnd
                                                            : elements_[parent.Children.back()].End;
                parent.Children.push_back(index);
            }
            elements_.push_back(std::move(element));
            if (!elements_.back().SelfClosing) {
                open.push_back(index);
            }
            at = end + 1;
        }
    }
    if (!open.empty()) {
        fail(elements_[open.back()].Begin, "an element that is never closed");
    }
}

const XmlElement* XmlRanges::Child(const XmlElement& parent, std::string_view name) const {
    for (const std::size_t child : parent.Children) {
        if (elements_[child].Name == name) {
            return &elements_[child];
        }
    }
    return nullptr;
}

std::vector<const XmlElement*> XmlRanges::Children(const XmlElement& parent,
                                                   std::string_view name) const {
    std::vector<const XmlElement*> found;
    for (const std::size_t child : parent.Children) {
        if (elements_[child].Name == name) {
            found.push_back(&elements_[child]);
        }
    }
    return found;
}

std::string_view XmlRanges::Content(const XmlElement& element) const {
    return text_.substr(element.OpenEnd, element.CloseBegin - element.OpenEnd);
}

std::string_view XmlRanges::Whole(const XmlElement& element) const {
    return text_.substr(element.Begin, element.End - element.Begin);
}

std::string_view XmlRanges::OpeningTag(const XmlElement& element) const {
    return text_.substr(element.Begin, element.OpenEnd - element.Begin);
}

std::string_view XmlRanges::Before(const XmlElement& element) const {
    return text_.substr(element.LeadBegin, element.Begin - element.LeadBegin);
}

std::string_view XmlRanges::Indent(const XmlElement& element) const {
    std::size_t start = element.Begin;
    while (start > 0 && (text_[start - 1] == ' ' || text_[start - 1] == '\t')) {
        --start;
    }
    if (start > 0 && text_[start - 1] != '\n' && text_[start - 1] != '\r') {
        return {};
    }
    return text_.substr(start, element.Begin - start);
}
