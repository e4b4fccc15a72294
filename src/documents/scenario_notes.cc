#include "documents/scenario_notes.h"

#include "documents/text_writer.h"

namespace scenario {

// The scenario author's introduction for the driver, wrapped by hand.
// Deliberate: the exact shape is part of the document (a paragraph's first
// line indented by three blanks, no empty line between paragraphs, words
// split with a hyphen, three long lines left unwrapped, trailing blanks
// where they stand); the text writer writes every line as it is.
// The accented letters are held in UTF-8 here and become single
// Windows-1252 bytes when written.
std::vector<std::string> dati_note() {
  return {
      // The dedication: the train, its origin and its destination.
      "   Lo scenario è dedicato all'espresso 5147 Tarvo "
      "Centrale-Cembrio.",

      // The composition: real stock, the simulated composition and its masses,
      // braking and running times. Lines 4, 5, 6 and 10 end in a blank.
      "   Nella realtà questo treno è formato da carrozze a piano "
      "ribassato per la media distanza, trai-",
      "nate da una locomotiva elettrica a corrente continua di recente "
      "costruzione. Nella simulazione si",
      "è considerata una composizione di dieci di queste carrozze, di "
      "cui l'ultima, in coda al treno, ",
      "è una semipilota; la massa rimorchiata che ne risulta è pertanto "
      "di circa 396 t. Nel simulatore ",
      "questa composizione equivale a 8 delle sue carrozze, per una "
      "massa complessiva di 480 t con la ",
      "locomotiva. La massa bloccata è stata valutata in 300 t, ma il "
      "dato non è certo: chi conoscesse il",
      "valore esatto è pregato di segnalarlo. Nella simulazione si è "
      "usata una percentuale di massa fre-",
      "nata del 120 %, come per gli altri treni viaggiatori di questa "
      "categoria. Il tempo di percorrenza,",
      "aggiornato, è conforme all'orario ora in vigore; la tabella di "
      "marcia della scheda treno allegata ",
      "riporta gli orari di arrivo e partenza alle stazioni.",

      // The line.
      "   Nulla di particolare sulla linea: è parte della lunga linea "
      "degli scenari precedenti.",

      // The late start and the late departure signals. Line 14 is unwrapped.
      "   Il treno parte da Tarvo Centrale con un piccolo ritardo di 4 "
      "minuti e trova per qualche secondo",
      "a via impedita il segnale di partenza esterno di Tarvo Centrale; "
      "in diverse stazioni, inoltre, il segnale di partenza si dispone a "
      "via libera con qualche secondo di ritardo, per simulare le",
      "soste prolungate dovute al gran numero di pendolari che salgono e "
      "scendono dalle carrozze nelle",
      "ore di punta della sera, quando in molti rientrano a casa dal "
      "lavoro.",

      // The train running ahead and the unprotected halts. Lines 19 and 20
      // are unwrapped.
      "   Attenzione: superata la metà del percorso, davanti a questo "
      "treno circola un altro treno, par-",
      "tito in ritardo, che ferma come questo in tutte le stazioni e le "
      "fermate fino a Cembrio; pertanto",
      "si troveranno alcuni segnali a via impedita, che si disporranno a "
      "via libera con qualche secondo di ritardo, costringendo così a "
      "una sorta di marcia rallentata che richiede grande attenzione.",
      "Si raccomanda però di badare ai segnali di linea vicino alla "
      "fermata in piena linea dove il treno sosta: essa, come altre due "
      "del percorso, non ha i segnali di protezione e partenza.",

      // Adhesion.
      "   L'aderenza è scarsa: attenzione!",

      // The maximum speed.
      "   Attenzione alla velocità massima: le carrozze della "
      "composizione sono limitate ai 140 km/h, pur",
      "potendo il treno circolare in rango B, a velocità assai superiori.",

      // The signature and the closing line of four blanks.
      "   Staff SC.",
      "   note@sc.example",
      "    ",
      std::string(kEndMarker),
  };
}

}  // namespace scenario
