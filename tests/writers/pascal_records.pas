{ Writes a file of packed records holding every kind of field a Free Pascal
  program stores, and prints what it wrote: one line per record, the
  record's number and then each field after a tab. Integers print in
  decimal; reals as hexadecimal floats (0x<mantissa>p<exponent>), exact, as
  every real is made from an integer mantissa and a power of two and checked
  to hold it unrounded; Currency with its four decimals; a TDateTime as
  yyyy-mm-ddThh:nn:ss.zzz, or nothing for 0, which Delphi programs take for
  "no date"; strings as their bytes. The fields of TRecord are listed, in
  order, in check_writers.py, which checks that both agree.

      pascal_records FILE COUNT

  Record 0 holds zeros, records 1 to 3 the largest, the smallest and the
  least values of each type; the others random values of random size. }
program PascalRecords;
{$mode objfpc}{$R-}{$Q-}
uses SysUtils, Math;

type
  TRecord = packed record
    Flag: Byte;
    Name: string[20];
    Initial: string[1];
    Remark: string[255];
    Count: Word;
    Delta: SmallInt;
    Total: LongInt;
    Serial: Int64;
    Hash: QWord;
    Old: Real48;
    Ratio: Single;
    Value: Double;
    Precise: Extended;
    Price: Currency;
    Stamp: TDateTime;
    Done: Boolean;
  end;

const
  Names: array[0..4] of string = ('M'#252'ller', 'O''Brien', 'Smith-Lee', 'van Dijk', 'Xu');

var
  Seed: QWord = 88172645463325252;
  RecordFile: file of TRecord;
  R: TRecord;
  K, Count, I: Integer;

{ Marsaglia's xorshift64. }
function NextRandom: QWord;
begin
  Seed := Seed xor (Seed shl 13);
  Seed := Seed xor (Seed shr 7);
  Seed := Seed xor (Seed shl 17);
  Result := Seed;
end;

function Below(N: QWord): QWord;
begin
  Result := NextRandom mod N;
end;

{ A random number of 1 to Bits significant bits. }
function Varied(Bits: Integer): QWord;
begin
  Result := NextRandom shr (63 - Below(Bits));
end;

procedure Put(const Text: string);
begin
  Write(#9, Text);
end;

{ A real of a type with Bits mantissa bits (63 at most, the magnitude of an
  Int64) and exponents MinExp to MaxExp for an integer mantissa: zero, the
  largest, its negative, the least, then random ones. Stores it through
  Store, checks that the field holds it exactly and prints it. }
type
  TStore = function(X: Extended): Extended;

procedure PutReal(Bits, MinExp, MaxExp: Integer; Store: TStore);
var
  Mantissa: Int64;
  Exponent: Integer;
begin
  Exponent := 0;
  case K of
    0: Mantissa := 0;
    1, 2: begin Mantissa := Int64((QWord(1) shl Bits) - 1); Exponent := MaxExp; end;
    3: begin Mantissa := 1; Exponent := MinExp; end;
  else
    Mantissa := Int64(Varied(Bits));
    Exponent := Max(MinExp, -1100) + Integer(Below(Min(MaxExp, 1000) - Max(MinExp, -1100) + 1));
  end;
  if (K = 2) or ((K > 3) and Odd(NextRandom)) then
    Mantissa := -Mantissa;
  if Store(LdExp(Mantissa, Exponent)) <> LdExp(Mantissa, Exponent) then begin
    WriteLn(StdErr, 'record ', K, ': ', Mantissa, ' * 2^', Exponent, ' does not fit its field');
    Halt(2);
  end;
  if Mantissa < 0 then
    Put('-0x' + IntToHex(-Mantissa, 1) + 'p' + IntToStr(Exponent))
  else
    Put('0x' + IntToHex(Mantissa, 1) + 'p' + IntToStr(Exponent));
end;

{ Free Pascal reads a Real48 but cannot make one: its bytes are put
  together here as Turbo Pascal laid them out (the exponent + 129, then 39
  bits of fraction below a hidden one, the sign on top) and read back by
  Free Pascal's own conversion. }
function StoreOld(X: Extended): Extended;
var
  Fraction: Extended;
  Exponent, I: Integer;
  Bits: QWord;
  Bytes: array[0..5] of Byte;
begin
  FillChar(Bytes, SizeOf(Bytes), 0);
  if X <> 0 then begin
    Frexp(X, Fraction, Exponent); { X = Fraction * 2^Exponent, 1/2 <= |Fraction| < 1 }
    Bits := Trunc(LdExp(Abs(Fraction), 40)) and (QWord(1) shl 39 - 1);
    if X < 0 then Bits := Bits or QWord(1) shl 39;
    Bytes[0] := Exponent + 128;
    for I := 1 to 5 do Bytes[I] := Byte(Bits shr (8 * (I - 1)));
  end;
  Move(Bytes, R.Old, SizeOf(Bytes));
  Result := R.Old;
end;
function StoreRatio(X: Extended): Extended; begin R.Ratio := X; Result := R.Ratio; end;
function StoreValue(X: Extended): Extended; begin R.Value := X; Result := R.Value; end;
function StorePrecise(X: Extended): Extended; begin R.Precise := X; Result := R.Precise; end;

procedure FillAndPrint;
var
  Remark: string;
  Day: TDateTime;
begin
  case K of
    0: begin R.Flag := 0; R.Count := 0; R.Delta := 0; R.Total := 0; R.Serial := 0; R.Hash := 0; end;
    1: begin
      R.Flag := High(Byte); R.Count := High(Word); R.Delta := High(SmallInt); R.Total := High(LongInt);
      R.Serial := High(Int64); R.Hash := High(QWord);
    end;
    2: begin
      R.Flag := 1; R.Count := 1; R.Delta := Low(SmallInt); R.Total := Low(LongInt); R.Serial := Low(Int64);
      R.Hash := QWord(1) shl 63;
    end;
    3: begin R.Flag := 1; R.Count := 1; R.Delta := -1; R.Total := -1; R.Serial := -1; R.Hash := 1; end;
  else
    R.Flag := Byte(Varied(8)); R.Count := Word(Varied(16)); R.Delta := SmallInt(Varied(16));
    R.Total := LongInt(Varied(32)); R.Serial := Int64(Varied(64)); R.Hash := Varied(64);
  end;
  Put(IntToStr(R.Flag));

  { Texts of every length, the rest of a shorter one's field keeps what an
    earlier record left there. }
  if K = 0 then R.Name := '' else R.Name := Names[K mod 5] + ' ' + IntToStr(K);
  if K = 1 then R.Name := 'Maximilian Mustermann';
  R.Initial := Copy(R.Name, 1, 1);
  Remark := '';
  if K > 0 then
    for I := 1 to IfThen(K = 1, 255, Integer(Below(256))) do
      if Odd(I) then Remark := Remark + Chr(32 + Below(95)) else Remark := Remark + Chr(160 + Below(96));
  R.Remark := Remark;
  Put(R.Name); Put(R.Initial); Put(R.Remark);

  Put(IntToStr(R.Count)); Put(IntToStr(R.Delta)); Put(IntToStr(R.Total)); Put(IntToStr(R.Serial));
  Put(IntToStr(R.Hash));

  PutReal(40, -128, 87, @StoreOld);
  PutReal(24, -149, 104, @StoreRatio);
  PutReal(53, -1074, 971, @StoreValue);
  PutReal(63, -16445, 16321, @StorePrecise);

  case K of
    0: R.Price := 0;
    1: R.Price := MaxCurrency;
    2: R.Price := MinCurrency;
    3: R.Price := -0.0001;
  else
    R.Price := Int64(Varied(49)) / 10000;
    if Odd(NextRandom) then R.Price := -R.Price;
  end;
  Put(CurrToStrF(R.Price, ffFixed, 4));

  { Days from 0001-01-01 to 9999-12-31, with times to the millisecond, to
    the second or none; record 3 before 1899-12-30, where a TDateTime
    counts the days back and the time forward, record 4 the day 0 at noon. }
  case K of
    0: R.Stamp := 0;
    1: R.Stamp := ComposeDateTime(EncodeDate(9999, 12, 31), EncodeTime(23, 59, 59, 999));
    2: R.Stamp := EncodeDate(1, 1, 1);
    3: R.Stamp := ComposeDateTime(EncodeDate(1850, 3, 1), EncodeTime(6, 0, 0, 1));
    4: R.Stamp := 0.5;
  else
    Day := EncodeDate(1, 1, 1) + Below(Trunc(EncodeDate(9999, 12, 31) - EncodeDate(1, 1, 1)) + 1);
    case K mod 3 of
      0: R.Stamp := Day;
      1: R.Stamp := ComposeDateTime(Day, EncodeTime(Below(24), Below(60), Below(60), 0));
      2: R.Stamp := ComposeDateTime(Day, EncodeTime(Below(24), Below(60), Below(60), Below(1000)));
    end;
  end;
  if R.Stamp = 0 then Put('') else Put(FormatDateTime('yyyy-mm-dd"T"hh:nn:ss.zzz', R.Stamp));

  R.Done := (K = 1) or (K > 3) and Odd(NextRandom);
  Put(IntToStr(Ord(R.Done)));
end;

begin
  Count := StrToInt(ParamStr(2));
  AssignFile(RecordFile, ParamStr(1));
  Rewrite(RecordFile);
  for K := 0 to Count - 1 do begin
    Write(K);
    FillAndPrint;
    WriteLn;
    Write(RecordFile, R);
  end;
  CloseFile(RecordFile);
end.
