#pragma once
// Qt's own texts (file dialogs, standard buttons and questions) in Korean, like the rest of the
// program: Qt's Korean translations, from the folder Qt was installed with.

// Loads them into the running application once; false when they are not installed.
bool LoadQtKoreanTranslations();
