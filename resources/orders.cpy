      * Customer orders as the host writes them: EBCDIC 939, variable
      * records with a record descriptor word. REC-TYPE tells a
      * header from a detail; each lays out BODY its own way.
       01  ORDER-RECORD.
           05  REC-TYPE              PIC X.
               88  IS-HEADER         VALUE 'H'.
               88  IS-DETAIL         VALUE 'D'.
           05  CUST-NO               PIC 9(6).
           05  CUST-NAME             PIC G(10).
           05  BODY                  PIC X(30).
           05  HEADER-BODY REDEFINES BODY.
               10  ORDER-DATE        PIC 9(8).
               10  LINE-COUNT        PIC S9(3) COMP-3.
               10  TOTAL-AMOUNT      PIC S9(9)V99 COMP-3.
               10  FILLER            PIC X(14).
           05  DETAIL-BODY REDEFINES BODY.
               10  ITEM-CODE         PIC X(8).
               10  QUANTITY          PIC S9(5).
               10  UNIT-PRICE        PIC S9(7)V99 COMP-3.
               10  LINE-AMOUNT       PIC S9(9)V99.
               10  FILLER            PIC X(1).
