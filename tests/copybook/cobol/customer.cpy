000100 *> The customer record of a fixed-format program.                CUSTOMER
000200* Comment lines, a page eject and a continued literal.            CUSTOMER
000300 01  CUSTOMER-RECORD.                                             CUSTOMER
000400     05  CUST-ID              PIC 9(6).                           CUSTOMER
000500     05  CUST-NAME            PIC X(20).                          CUSTOMER
000600/                                                                 CUSTOMER
000700     05  CUST-INITIAL         PIC A.                              CUSTOMER
000800     05  CUST-BALANCE         PIC S9(7)V99.                       CUSTOMER
000900     05  CUST-CREDIT          PIC S9(5)                           CUSTOMER
001000                              SIGN LEADING SEPARATE.              CUSTOMER
001100     05  CUST-DEBIT           PIC S9(3)V9 SIGN IS TRAILING        CUSTOMER
001200                              SEPARATE CHARACTER.                 CUSTOMER
001300     05  CUST-OVERDRAWN       PIC S9(4) SIGN LEADING.             CUSTOMER
001400     05  CUST-SHOWN           PIC -ZZ,ZZ9.99.                     CUSTOMER
001500     05  FILLER               PIC X(3).                           CUSTOMER
001600     05  CUST-RATE            PIC SV999.                          CUSTOMER
001700     05  CUST-CITY            PIC X(12) JUSTIFIED RIGHT.          CUSTOMER
001800     05  CUST-VISITS          PIC 9(4) BLANK WHEN ZERO.           CUSTOMER
001900     05  CUST-STATUS          PIC X VALUE 'A'.                    CUSTOMER
002000         88  CUST-ACTIVE      VALUE 'A'.                          CUSTOMER
002100         88  CUST-CLOSED      VALUE 'C' 'X'.                      CUSTOMER
002200     05  CUST-REMARK          PIC X(30) VALUE 'A REMARK THAT TAKESCUSTOMER
002300-    'TWO LINES'.                                                 CUSTOMER
