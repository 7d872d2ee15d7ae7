// The device context key faces are drawn in: a memory context made like the host's, holding the
// face font. It exists from the first host context given to LoadKeyBoard until
// UnLoadKeyBoardsNames.
#ifndef LAYODEX_FACE_CONTEXT_H
#define LAYODEX_FACE_CONTEXT_H

#include "layodex.h"

// NULL while there is none.
extern HDC FaceDc;

// Makes the face context from hostDc unless one exists; nothing happens for a NULL hostDc.
void CreateFaceContext(HDC hostDc);
void ReleaseFaceContext(void);

#endif
