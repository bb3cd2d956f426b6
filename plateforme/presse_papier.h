// The system clipboard, as plain text in Windows-1252 bytes.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tarvo {

class PressePapier {
public:
    PressePapier() = default;
    PressePapier(const PressePapier&) = delete;
    PressePapier& operator=(const PressePapier&) = delete;
    virtual ~PressePapier() = default;

    // The empty text when the clipboard holds no text.
    virtual std::string lire_texte() = 0;
    // The text handed to `lire`, without a copy where it is already held: a long paste is
    // hundreds of Mo.
    virtual void lire_texte_vers(const std::function<void(std::string_view)>& lire) {
        lire(lire_texte());
    }
    virtual void ecrire_texte(std::string_view texte) = 0;
};

// Where there is no desktop (the batch program): nothing to read, nothing kept.
class PressePapierAbsent final : public PressePapier {
public:
    std::string lire_texte() override { return {}; }
    void ecrire_texte(std::string_view) override {}
};

}  // namespace tarvo
