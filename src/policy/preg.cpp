#include <policy/preg.h>

#include <portable/utf16.h>

namespace policy {

namespace {

using portable::SameNameIgnoringCase;

class Reader {
  public:
    Reader(const std::uint8_t* bytes, std::size_t size) : bytes_(bytes), size_(size) {}

    bool AtEnd() const { return pos_ == size_; }
    bool Unit(char16_t expected) {
        char16_t c;
        return Take16(&c) && c == expected;
    }
    bool String(std::u16string* text) {
        for (char16_t c; Take16(&c);) {
            if (c == 0) return true;
            text->push_back(c);
        }
        return false;
    }
    bool Number(std::uint32_t* n) {
        if (size_ - pos_ < 4) return false;
        *n = static_cast<std::uint32_t>(bytes_[pos_] | bytes_[pos_ + 1] << 8 |
                                        bytes_[pos_ + 2] << 16) |
             static_cast<std::uint32_t>(bytes_[pos_ + 3]) << 24;
        pos_ += 4;
        return true;
    }
    bool Bytes(std::uint32_t count, std::vector<std::uint8_t>* data) {
        if (size_ - pos_ < count) return false;
        data->assign(bytes_ + pos_, bytes_ + pos_ + count);
        pos_ += count;
        return true;
    }

  private:
    bool Take16(char16_t* c) {
        if (size_ - pos_ < 2) return false;
        *c = static_cast<char16_t>(bytes_[pos_] | bytes_[pos_ + 1] << 8);
        pos_ += 2;
        return true;
    }

    const std::uint8_t* bytes_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

std::u16string Lower(std::u16string text) {
    for (char16_t& c : text) {
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    }
    return text;
}

// Key paths as Windows compares them: without regard to case or to backslashes at either end.
std::u16string KeyForm(std::u16string key) {
    while (!key.empty() && key.back() == u'\\') key.pop_back();
    while (!key.empty() && key.front() == u'\\') key.erase(0, 1);
    return Lower(std::move(key));
}

// The names in a directive's data: REG_SZ text, ';' between them.
std::vector<std::u16string> NameList(const std::vector<std::uint8_t>& data) {
    std::u16string text = portable::FromLittleEndian(data.data(), data.size());
    text = text.substr(0, text.find(u'\0'));
    std::vector<std::u16string> names;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find(u';', start);
        names.push_back(text.substr(start, end - start));
        if (end == std::u16string::npos) break;
        start = end + 1;
    }
    return names;
}

}  // namespace

std::optional<std::vector<PolRecord>> ParsePolicyFile(const std::uint8_t* bytes, std::size_t size) {
    if (size > kMaxPolicyFileSize) return std::nullopt;
    Reader in(bytes, size);
    std::uint32_t signature = 0, version = 0;
    if (!in.Number(&signature) || signature != 0x67655250 /* "PReg" */ || !in.Number(&version) ||
        version != 1) {
        return std::nullopt;
    }
    std::vector<PolRecord> records;
    while (!in.AtEnd()) {
        PolRecord r;
        std::uint32_t length = 0;
        if (!in.Unit(u'[') || !in.String(&r.key) || !in.Unit(u';') || !in.String(&r.value) ||
            !in.Unit(u';') || !in.Number(&r.type) || !in.Unit(u';') || !in.Number(&length) ||
            !in.Unit(u';') || !in.Bytes(length, &r.data) || !in.Unit(u']')) {
            return std::nullopt;
        }
        records.push_back(std::move(r));
    }
    return records;
}

PolicyDecision DecisionFor(const std::vector<PolRecord>& records, const std::string& keyPath,
                           const std::string& name) {
    const std::u16string key = KeyForm(portable::FromUtf8(keyPath));
    const std::u16string wanted = portable::FromUtf8(name);
    // A deleted key takes the value with it, and so does a deleted parent.
    const auto covers = [&key](const std::u16string& deleted) {
        const std::u16string k = KeyForm(deleted);
        return !k.empty() && (k == key || (key.size() > k.size() && key.starts_with(k) &&
                                           key[k.size()] == u'\\'));
    };
    PolicyDecision decision;
    for (const PolRecord& r : records) {
        if (SameNameIgnoringCase(r.value, u"**DeleteKeys")) {
            for (const auto& deleted : NameList(r.data)) {
                if (covers(deleted) || (!deleted.empty() && covers(r.key + u"\\" + deleted))) {
                    decision = {PolicyDecision::kDeletes, 0, {}};
                }
            }
            continue;
        }
        if (KeyForm(r.key) != key) continue;
        if (SameNameIgnoringCase(r.value, wanted)) {
            decision = {PolicyDecision::kSets, r.type, r.data};
        } else if (SameNameIgnoringCase(r.value, u"**del." + wanted) ||
                   SameNameIgnoringCase(r.value, u"**delvals.")) {
            decision = {PolicyDecision::kDeletes, 0, {}};
        } else if (SameNameIgnoringCase(r.value, u"**DeleteValues")) {
            for (const auto& deleted : NameList(r.data)) {
                if (SameNameIgnoringCase(deleted, wanted))
                    decision = {PolicyDecision::kDeletes, 0, {}};
            }
        }
    }
    return decision;
}

}  // namespace policy
