// Starting other programs: the text editor, the viewer of a document or web address,
// and the power-off command of the end of a run.
#pragma once

#include <string_view>

namespace tarvo {

class Lanceur {
public:
    Lanceur() = default;
    Lanceur(const Lanceur&) = delete;
    Lanceur& operator=(const Lanceur&) = delete;
    virtual ~Lanceur() = default;

    // Each returns false when the program could not be started; none waits for it.
    // The text editor the description names, and no other program.
    virtual bool ouvrir_dans_editeur(std::string_view chemin) = 0;
    virtual bool ouvrir_document(std::string_view chemin_ou_adresse) = 0;

    // Powers the machine off after a one-minute notice that shows the message.
    virtual bool eteindre_machine(std::string_view message) = 0;
};

}  // namespace tarvo
