// The tracking log: the ordered lines that record every stage of a session.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

class JournalSuivi {
public:
    // Appends the line unless the log already holds two lines or more and its last line
    // is the same text, so that a repeated problem does not flood the log.
    void ajouter_suivi(std::string_view texte);

    const std::vector<std::string>& lignes() const { return lignes_; }
    void vider() { lignes_.clear(); }

private:
    std::vector<std::string> lignes_;
};

}  // namespace tarvo
