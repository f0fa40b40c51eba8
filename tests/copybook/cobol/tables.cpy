      * Tables, overlays, slack bytes and names given twice.
       01  ORDER-RECORD.
           05  O-COUNT             PIC 99.
           05  O-LINE OCCURS 3 TIMES INDEXED BY O-I.
               10  O-ITEM          PIC X(4).
               10  O-QTY           PIC S9(3) COMP-3 OCCURS 2.
           05  O-WHEN              PIC 9(8).
           05  O-WHEN-PARTS REDEFINES O-WHEN.
               10  O-YEAR          PIC 9(4).
               10  FILLER          PIC 9(4).
           05  FILLER              PIC X(3).
           05  O-TOTAL             PIC S9(9) COMP SYNC.
           05  O-ADDRESS.
               10  O-CITY          PIC X(10).
           05  O-SHIPPING.
               10  O-CITY          PIC X(10).
           05  O-NOTE              PIC X OCCURS 1 TO 4 TIMES
                                   DEPENDING ON O-COUNT.
       66  O-PERIOD RENAMES O-WHEN.
