// Several descriptions in one call of the batch program: each converted by a child process of
// the program, a few at once, their outputs given back whole, in the order of the call.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tarvo {

// The graver of two exit statuses, in the order 2 > 1 > 3 > 4 > 0: a wrong call, then a
// conversion prevented, then one given up by a question, then a result of NA only.
//   pire_statut(3, 1) == 1      pire_statut(0, 4) == 4
int pire_statut(int a, int b);

// The reading threads of each child when --fils is not given: the machine's threads shared
// out between the children that run at once, at least one each.
//   fils_par_travail(8, 3, 10) == 2      fils_par_travail(8, 8, 2) == 4
int fils_par_travail(int fils_machine, int travaux, int nb_descriptions);

// In a child, at its start: the signal that ends it when its parent dies (SIGTERM, so that it
// removes its unfinished files; SIGKILL when SIGTERM is ignored). False when the parent
// `pid_parent` is already gone: the child must end at once, nobody reads what it writes.
bool mourir_avec_le_parent(int pid_parent);

// What one child did.
struct TravailLot {
    std::string description;  // as typed
    int statut = -1;
    std::string sortie;   // its standard output
    std::string erreurs;  // its standard error
};

// Runs `programme` once per description, `travaux` at a time, with `arguments` (the call's
// own, which name every description) after "--rang-description i --pid-parent <this
// process>" and, when `fils` > 0, "--fils fils". Standard input is /dev/null. Each child's outputs
// are written, as soon as it and those before it have ended: its standard output (an empty line
// when it printed nothing) to `sortie`, its standard error under "==> description <==" to
// `erreurs`. Returns the gravest status; a signal sent to this process ends the children and
// returns 128 + n.
int executer_travaux(const std::string& programme, const std::vector<std::string>& arguments,
                     const std::vector<std::string>& descriptions, int travaux, int fils,
                     std::ostream& sortie, std::ostream& erreurs);

}  // namespace tarvo
