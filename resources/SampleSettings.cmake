# Writes a settings file that points the program at a working copy of the
# sample game, leaving an existing SETTINGS_FILE untouched. The copy keeps
# saves made while trying the editor out of the source tree.
if(NOT EXISTS "${SETTINGS_FILE}")
    if(NOT EXISTS "${GAME_COPY}")
        file(COPY "${SAMPLE_GAME}/" DESTINATION "${GAME_COPY}")
    endif()
    file(WRITE "${SETTINGS_FILE}" "[MainOptions]\nGamePath=${GAME_COPY}/\n")
endif()
