# Copies the built layout into the program directory; databases only when missing.
file(MAKE_DIRECTORY ${BIN}/db ${BIN}/ini)
foreach(name Account Blank Sample)
    if(NOT EXISTS ${BIN}/db/${name}.tqx)
        file(COPY ${LAYOUT}/db/${name}.tqx DESTINATION ${BIN}/db)
    endif()
endforeach()
file(COPY ${LAYOUT}/Picvault.rcc DESTINATION ${BIN})
file(COPY ${LAYOUT}/rep ${LAYOUT}/help DESTINATION ${BIN})
